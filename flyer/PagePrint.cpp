#include "flyer/PagePrint.h"

#include "app/Failure.h"
#include "flyer/DocumentExport.h"
#include "flyer/TempFolder.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <poppler-qt6.h>

#include <algorithm>
#include <memory>

namespace lumarel {

namespace {

// Rows rendered at a time: at 1200 dots per inch a whole page would take half a gigabyte.
constexpr int kBandRows = 512;

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
    if (!painter.end())
        throw Failure(QStringLiteral("The printer did not take the page."));
}

void printFirstPage(OfficeEngine& office, const QString& document, QPrinter& printer)
{
    QTemporaryDir folder(flyerTempFolder() + QStringLiteral("/print-XXXXXX"));
    if (!folder.isValid())
        throw Failure(QStringLiteral("No folder for the page to print could be made: %1")
                          .arg(folder.errorString()));
    const QString pdf = folder.filePath(QStringLiteral("page.pdf"));
    exportDocument(office, document, pdf, SaveFormat::Pdf);
    printPdfFirstPage(pdf, printer);
}

} // namespace lumarel
