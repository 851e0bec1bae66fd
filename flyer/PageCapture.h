#pragma once

#include <QImage>
#include <QString>

namespace lumarel {

// Resolution of the page picture: 10000 dots per metre (254 DPI) makes a US Letter page
// exactly 2159 x 2794 pixels, so the picture's physical size is the page's to the twip.
constexpr int kPageDotsPerMeter = 10000;

// temp.bmp in the temporary folder: where a page picture that is asked for as a file is written.
QString pagePicturePath();

class FlyerRun;

// Has the run's office render the first page of the saved flyer (the document it still holds,
// or else the file opened anew), then close it without saving; the picture stays in the run
// (FlyerRun::page()), for a window that shows it from memory. Failures are reported under this
// procedure's own name; it always returns, true when the picture was made.
bool SaveDocAsJPG(FlyerRun& run, const QString& documentPath);
// The same with the ready office and the file opened anew, the picture written to
// temp.bmp.
void SaveDocAsJPG(const QString& documentPath);

// What is said of a flyer that runs to more than one page; empty for a flyer of one page.
// `pictureOnly` for a file that is the page picture, which holds the first page alone.
QString pageOverflowText(int pages, bool pictureOnly = false);

// A page-sized picture with `reason` written where the page would be, shown instead of a page
// whose picture could not be made.
QImage pageNotice(const QString& reason);

} // namespace lumarel
