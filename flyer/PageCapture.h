#pragma once

#include "flyer/FlyerRun.h" // kPageDotsPerMeter, for those that show the page

#include <QImage>
#include <QString>

namespace lumarel {

// What is said of a flyer that runs to more than one page; empty for a flyer of one page.
// `pictureOnly` for a file that is the page picture, which holds the first page alone.
QString pageOverflowText(int pages, bool pictureOnly = false);

// A page-sized picture with `reason` written where the page would be, shown instead of a page
// whose picture could not be made.
QImage pageNotice(const QString& reason);

} // namespace lumarel
