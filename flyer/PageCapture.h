#pragma once

#include <QString>

namespace lumarel {

// Resolution of the page picture: 10000 dots per metre (254 DPI) makes a US Letter page
// exactly 2159 x 2794 pixels, so the picture's physical size is the page's to the twip.
constexpr int kPageDotsPerMeter = 10000;

// TEMP/temp.bmp: where the page picture of a flyer run is written.
QString pagePicturePath();

// Opens the saved flyer in an office instance of its own, renders its first page and writes
// it to TEMP/temp.bmp, closes without saving and quits. Each step reports its own failure and
// the next one still runs; it always returns.
void SaveDocAsJPG(const QString& documentPath);

} // namespace lumarel
