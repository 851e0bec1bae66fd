// Shows the preview window with a letter page made here, for looking at it on a display:
//   preview_shot <zoom-out steps> <ready-file>
// The ready file is written once the window shows the page at the asked zoom.

#include "app/AppServices.h"
#include "preview/Form2.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTimer>

namespace {

// A US Letter page as the capture writes it: 2159 x 2794 pixels at 10000 dots per meter.
QImage letterPage()
{
    QImage page(2159, 2794, QImage::Format_RGB32);
    page.setDotsPerMeterX(10000);
    page.setDotsPerMeterY(10000);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const auto font = [](const char* family, int pixels, bool bold) {
        QFont f{QString::fromLatin1(family)};
        f.setPixelSize(pixels);
        f.setBold(bold);
        return f;
    };
    const int margin = 254; // one inch
    const QRect text(margin, margin, page.width() - 2 * margin, page.height() - 2 * margin);

    painter.fillRect(QRect(margin, margin, text.width(), 260), QColor(0x1f, 0x4e, 0x79));
    painter.setPen(Qt::white);
    painter.setFont(font("EB Garamond", 120, true));
    painter.drawText(QRect(margin, margin, text.width(), 260), Qt::AlignCenter,
                     QStringLiteral("Riverside Spring Fair"));

    painter.setPen(Qt::black);
    painter.setFont(font("Liberation Sans", 64, true));
    painter.drawText(QRect(margin, margin + 330, text.width(), 90), Qt::AlignCenter,
                     QStringLiteral("Friday, January 15th, 2027 at 3:05 PM"));
    painter.setFont(font("Liberation Sans", 52, false));
    painter.drawText(QRect(margin, margin + 430, text.width(), 80), Qt::AlignCenter,
                     QStringLiteral("12 Harbour Street, Millbrook"));

    painter.setFont(font("Liberation Serif", 44, false));
    const QString body = QStringLiteral(
        "Join the Millbrook Community Garden Society for an afternoon of music, local food and "
        "seedling swaps along the river. Children's games start at four, and the evening ends "
        "with a lantern walk over the old bridge.\n\n"
        "About us: the society has kept the riverside beds since 1987 and welcomes new members "
        "of every age and skill.\n\n"
        "Plans: stalls open at 3:05 PM, talks on composting and bees at 5 PM, the lantern walk "
        "at dusk.\n\n"
        "Please bring: a folding chair, a reusable cup, and any spare seedlings to share.");
    painter.drawText(QRect(margin, margin + 620, text.width(), 1500), Qt::TextWordWrap, body);

    painter.setPen(QPen(QColor(0x1f, 0x4e, 0x79), 6));
    painter.drawRect(text);
    painter.setFont(font("Liberation Sans", 36, false));
    painter.drawText(QRect(margin, text.bottom() - 80, text.width(), 60), Qt::AlignCenter,
                     QStringLiteral("bottom edge of the page"));
    return page;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        qWarning("usage: preview_shot <zoom-out steps> <ready-file>");
        return 2;
    }
    const int zoomOutSteps = QString::fromLocal8Bit(argv[1]).toInt();
    const QString readyFile = QString::fromLocal8Bit(argv[2]);
    lumarel::SetAppTitle();

    const QString picture = QDir::tempPath() + QStringLiteral("/preview-shot.bmp");
    letterPage().save(picture, "BMP");

    lumarel::Form2 form;
    form.loadPicture(picture);
    QFile::remove(picture);
    form.show();
    form.Form_Activate();
    for (int i = 0; i < zoomOutSteps; ++i)
        form.PushButton2_Click();

    QTimer::singleShot(500, [&] {
        QFile ready(readyFile);
        ready.open(QIODevice::WriteOnly);
    });
    return app.exec();
}
