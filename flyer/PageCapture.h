#pragma once

#include "flyer/FlyerRun.h"

#include <QImage>
#include <QString>

namespace lumarel {

// Has the run's office render the first page of the saved flyer (the document it still holds,
// or else the file opened anew), then close it without saving; the picture stays in the run
// (FlyerRun::page()), for a window that shows it from memory. Failures are reported under this
// procedure's own name; it always returns, true when the picture was made.
bool SaveDocAsJPG(FlyerRun& run, const QString& documentPath);

// What is said of a flyer that runs to more than one page; empty for a flyer of one page.
// `pictureOnly` for a file that is the page picture, which holds the first page alone.
QString pageOverflowText(int pages, bool pictureOnly = false);

// A page-sized picture with `reason` written where the page would be, shown instead of a page
// whose picture could not be made.
QImage pageNotice(const QString& reason);

} // namespace lumarel
