#include "preview/PagePrint.h"

#include "app/Failure.h"
#include "app/TempFolder.h"
#include "flyer/FlyerService.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <poppler-qt6.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace lumarel {

namespace {

// Rows rendered at a time: at 1200 dots per inch a whole page would take half a gigabyte.
constexpr int kBandRows = 512;

// Which way a word runs, in degrees clockwise (a multiple of 90), from its first character to
// its last; nullopt for a word of one character.
std::optional<double> wordAngle(const Poppler::TextBox& word, qsizetype characters)
{
    if (characters < 2)
        return std::nullopt;
    const QPointF way =
        word.charBoundingBox(int(characters) - 1).center() - word.charBoundingBox(0).center();
    return 90.0 * qRound(std::atan2(way.y(), way.x()) / (M_PI / 2));
}

// The page's text over its picture in an invisible pen, each character stretched over its own
// box, so that a printed PDF's text can still be searched and copied while the paper looks the
// same. Characters one by one: the office's glyph positions stay, and no ligature of the
// printing font changes the text read back.
void drawTextLayer(QPainter& painter, const Poppler::Page& page, const QTransform& toDevice)
{
    QFont font = painter.font();
    font.setPixelSize(100);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0, 0));
    const QFontMetricsF metrics(font, painter.device());
    const std::vector<std::unique_ptr<Poppler::TextBox>> words = page.textList();
    std::vector<QList<uint>> characters;
    std::vector<std::optional<double>> angles;
    for (const std::unique_ptr<Poppler::TextBox>& word : words) {
        characters.push_back(word->text().toUcs4());
        angles.push_back(wordAngle(*word, characters.back().size()));
    }
    // A lone letter runs as the word it is joined to (a large initial of a vertical name), or
    // else as the word before it.
    for (std::size_t i = words.size(); i-- > 1;)
        if (!angles[i - 1] && !words[i - 1]->hasSpaceAfter())
            angles[i - 1] = angles[i];
    for (std::size_t i = 0; i < words.size(); ++i) {
        const double angle = angles[i].value_or(i > 0 ? *angles[i - 1] : 0.0);
        angles[i] = angle;
        const bool across = qRound(angle) % 180 != 0;
        for (qsizetype c = 0; c < characters[i].size(); ++c) {
            const char32_t point = characters[i][c];
            const QString character = QString::fromUcs4(&point, 1);
            const QRectF box = words[i]->charBoundingBox(int(c));
            const double width = metrics.horizontalAdvance(character);
            if (box.isEmpty() || width <= 0)
                continue;
            const QSizeF size = across ? box.size().transposed() : box.size();
            painter.setTransform(QTransform::fromTranslate(box.center().x(), box.center().y())
                                     .rotate(angle)
                                     .scale(size.width() / width, size.height() / metrics.height())
                                     .translate(-width / 2, -metrics.height() / 2) *
                                 toDevice);
            painter.drawText(QPointF(0, metrics.ascent()), character);
        }
    }
    painter.resetTransform();
}

} // namespace

QRect fittedPageArea(const QSizeF& pageSize, const QRect& printable)
{
    if (pageSize.isEmpty() || printable.isEmpty())
        return {};
    const double scale =
        std::min(printable.width() / pageSize.width(), printable.height() / pageSize.height());
    const QSize size(qRound(pageSize.width() * scale), qRound(pageSize.height() * scale));
    return {printable.left() + (printable.width() - size.width()) / 2,
            printable.top() + (printable.height() - size.height()) / 2, size.width(),
            size.height()};
}

void printPdfFirstPage(const QString& pdf, QPrinter& printer)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(pdf);
    if (!document || document->isLocked() || document->numPages() < 1)
        throw Failure(QStringLiteral("The page to print could not be read from %1.")
                          .arg(QDir::toNativeSeparators(pdf)));
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    const std::unique_ptr<Poppler::Page> page = document->page(0);
    const QSizeF points = page->pageSizeF();

    QPainter painter;
    if (!painter.begin(&printer))
        throw Failure(QStringLiteral("The printer %1 could not be started.")
                          .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                               : printer.printerName()));
    // Device pixels of the paper: the page is rendered at exactly the size it is printed.
    // The painter's origin is the corner of the paper's printable area.
    const QRect printable(QPoint(0, 0), printer.pageRect(QPrinter::DevicePixel).size().toSize());
    const QRect area = fittedPageArea(points, printable);
    const double dpi = area.width() / points.width() * 72.0;
    for (int top = 0; top < area.height(); top += kBandRows) {
        const int rows = std::min(kBandRows, area.height() - top);
        const QImage band = page->renderToImage(dpi, dpi, 0, top, area.width(), rows);
        if (band.isNull()) {
            painter.end();
            throw Failure(QStringLiteral("The page could not be rendered for printing."));
        }
        painter.drawImage(QPoint(area.left(), area.top() + top), band);
    }
    const double scale = area.width() / points.width();
    drawTextLayer(painter, *page,
                  QTransform::fromTranslate(area.left(), area.top()).scale(scale, scale));
    if (!painter.end())
        throw Failure(QStringLiteral("The printer did not take the page."));
}

void printFirstPage(FlyerService& flyers, const QString& document, QPrinter& printer)
{
    QTemporaryDir folder(flyerTempFolder() + QStringLiteral("/print-XXXXXX"));
    if (!folder.isValid())
        throw Failure(QStringLiteral("No folder for the page to print could be made: %1")
                          .arg(folder.errorString()));
    const QString pdf = folder.filePath(QStringLiteral("page.pdf"));
    flyers.saveDocument(document, pdf, SaveFormat::Pdf);
    printPdfFirstPage(pdf, printer);
}

} // namespace lumarel
