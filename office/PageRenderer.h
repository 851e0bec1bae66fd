#pragma once

#include <QImage>
#include <QString>

namespace lumarel {

// The first page of a PDF file as an image whose physical size (pixels / dotsPerMeter) is the
// page's: the pixel size is rounded once, from the page size. Throws Failure.
QImage renderFirstPdfPage(const QString& pdf, int dotsPerMeter);

} // namespace lumarel
