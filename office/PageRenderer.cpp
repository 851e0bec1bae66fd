#include "office/PageRenderer.h"

#include "app/Failure.h"

#include <poppler-qt6.h>

#include <memory>

namespace lumarel {

QImage renderFirstPdfPage(const QString& pdf, int dotsPerMeter)
{
    std::unique_ptr<Poppler::Document> pdfDocument = Poppler::Document::load(pdf);
    if (!pdfDocument || pdfDocument->isLocked() || pdfDocument->numPages() < 1)
        throw Failure(QStringLiteral("The office's picture of the first page could not be read."));
    std::unique_ptr<Poppler::Page> page = pdfDocument->page(0);
    pdfDocument->setRenderHint(Poppler::Document::Antialiasing);
    pdfDocument->setRenderHint(Poppler::Document::TextAntialiasing);
    // The page size is in points (1/72 inch); the pixel size is rounded only once, from it.
    const QSizeF points = page->pageSizeF();
    const double dpi = dotsPerMeter * 0.0254;
    const QSize pixels(qRound(points.width() / 72.0 * dpi), qRound(points.height() / 72.0 * dpi));
    QImage rendered = page->renderToImage(dpi, dpi, 0, 0, pixels.width(), pixels.height());
    if (rendered.isNull())
        throw Failure(QStringLiteral("The first page could not be rendered."));
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (rendered.size() == pixels) {
        image = rendered.convertToFormat(QImage::Format_RGB32);
    } else {
        for (int y = 0; y < qMin(pixels.height(), rendered.height()); ++y)
            for (int x = 0; x < qMin(pixels.width(), rendered.width()); ++x)
                image.setPixel(x, y, rendered.pixel(x, y));
    }
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

} // namespace lumarel
