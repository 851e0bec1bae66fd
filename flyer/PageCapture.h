#pragma once

#include <QImage>
#include <QString>

namespace lumarel {

// Resolution of the page picture: 10000 dots per metre (254 DPI) makes a US Letter page
// exactly 2159 x 2794 pixels, so the picture's physical size is the page's to the twip.
constexpr int kPageDotsPerMeter = 10000;

// TEMP/temp.bmp: where the page picture of a flyer run is written.
QString pagePicturePath();

class FlyerRun;

// Has the run's office open the saved flyer, render its first page and write it to
// TEMP/temp.bmp, then close it without saving. Failures are reported under this procedure's
// own name; it always returns, true when the picture was written.
bool SaveDocAsJPG(FlyerRun& run, const QString& documentPath);
// The same with the ready office.
void SaveDocAsJPG(const QString& documentPath);

// What is said of a flyer that runs to more than one page; empty for a flyer of one page.
QString pageOverflowText(int pages);

// A page-sized picture with `reason` written where the page would be, shown instead of a page
// whose picture could not be made.
QImage pageNotice(const QString& reason);

} // namespace lumarel
