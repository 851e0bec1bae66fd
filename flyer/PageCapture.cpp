#include "flyer/PageCapture.h"

#include <QCoreApplication>
#include <QPainter>

namespace lumarel {

QString pageOverflowText(int pages, bool pictureOnly)
{
    if (pages <= 1)
        return QString();
    return QCoreApplication::translate("lumarel::FlyerNotices",
                                       "The flyer runs to %1 pages, not one: shorten its texts to "
                                       "fit it on one page. %2")
        .arg(pages)
        .arg(pictureOnly ? QCoreApplication::translate("lumarel::FlyerNotices",
                                                       "The picture holds the first page only.")
                         : QCoreApplication::translate("lumarel::FlyerNotices",
                                                       "The file holds every page; the picture "
                                                       "shows the first."));
}

QImage pageNotice(const QString& reason)
{
    // A Letter page at the page picture's own resolution, so the view treats it as the page.
    QImage page(2159, 2794, QImage::Format_RGB32);
    page.setDotsPerMeterX(kPageDotsPerMeter);
    page.setDotsPerMeterY(kPageDotsPerMeter);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    painter.setFont(QFont(QStringLiteral("Arial"), 14));
    const int inch = 254;
    painter.drawText(
        QRect(inch * 5 / 4, inch, page.width() - inch * 5 / 2, page.height() - 2 * inch),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
        QCoreApplication::translate("lumarel::FlyerNotices",
                                    "The flyer was made, but a picture of its page could not be "
                                    "made:\n\n%1\n\n\"Save Results To Word File\" saves the "
                                    "flyer all the same.")
            .arg(reason));
    return page;
}

} // namespace lumarel
