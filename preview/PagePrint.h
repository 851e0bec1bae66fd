#pragma once

#include <QRect>
#include <QSizeF>
#include <QString>

class QPrinter;

namespace lumarel {

class FlyerService;

// Where a page of `pageSize` (any unit) goes on a printable area: as large as fits without
// distortion, centred.
QRect fittedPageArea(const QSizeF& pageSize, const QRect& printable);

// Prints the document's first page: the service makes a PDF of it, which is rendered at the
// printer's own resolution into the area fittedPageArea gives on the paper, its words laid over
// it invisibly so that the printed text stays searchable. The printer's own settings (copies,
// paper, output) stay as the print dialog left them. Throws Failure.
void printFirstPage(FlyerService& flyers, const QString& document, QPrinter& printer);

// The drawing part, for a PDF at hand.
void printPdfFirstPage(const QString& pdf, QPrinter& printer);

} // namespace lumarel
