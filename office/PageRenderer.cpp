#include "office/PageRenderer.h"

#include "app/Failure.h"

#include <poppler-qt6.h>

#include <QPainter>

#include <future>
#include <memory>

namespace lumarel {

namespace {

struct Band
{
    int top = 0;
    int height = 0;
};

std::unique_ptr<Poppler::Document> openPdf(const QString& pdf)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(pdf);
    if (!document || document->isLocked() || document->numPages() < 1)
        throw Failure(QStringLiteral("The office's picture of the first page could not be read."));
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    return document;
}

// One band of the first page, the page `width` pixels wide; rendered in a band, the pixels are
// the ones the whole page would have there.
QImage renderBand(Poppler::Document& document, double dpi, int width, Band band)
{
    const std::unique_ptr<Poppler::Page> page = document.page(0);
    const QImage rendered =
        page ? page->renderToImage(dpi, dpi, 0, band.top, width, band.height) : QImage();
    if (rendered.isNull())
        throw Failure(QStringLiteral("The first page could not be rendered."));
    return rendered;
}

} // namespace

QImage renderFirstPdfPage(const QString& pdf, int dotsPerMeter)
{
    const std::unique_ptr<Poppler::Document> document = openPdf(pdf);
    // The page size is in points (1/72 inch); the pixel size is rounded only once, from it.
    const QSizeF points = document->page(0)->pageSizeF();
    const double dpi = dotsPerMeter * 0.0254;
    const QSize pixels(qRound(points.width() / 72.0 * dpi), qRound(points.height() / 72.0 * dpi));
    // The lower half is drawn beside the upper one, from a document of its own: a page that
    // fills the screen takes most of a flyer's time to draw.
    const Band upper{0, pixels.height() / 2};
    const Band lower{upper.height, pixels.height() - upper.height};
    std::future<QImage> lowerHalf = std::async(std::launch::async, [&] {
        const std::unique_ptr<Poppler::Document> own = openPdf(pdf);
        return renderBand(*own, dpi, pixels.width(), lower);
    });
    const QImage upperHalf = [&] {
        try {
            return renderBand(*document, dpi, pixels.width(), upper);
        } catch (...) {
            lowerHalf.wait(); // the band's thread uses `pixels` and `dpi`
            throw;
        }
    }();
    const QImage lowerPicture = lowerHalf.get();

    // What the renderer leaves out of the page size (a page a pixel short) stays white.
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, upper.top), upperHalf);
    painter.drawImage(QPoint(0, lower.top), lowerPicture);
    painter.end();
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

} // namespace lumarel
