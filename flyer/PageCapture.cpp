#include "flyer/PageCapture.h"

#include "app/Failure.h"
#include "app/StepTrap.h"
#include "flyer/OfficeEngine.h"
#include "flyer/TempFolder.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <optional>

namespace lumarel {

namespace {

QByteArray bmpBytes(const QImage& page)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(page.convertToFormat(QImage::Format_RGB32)))
        throw Failure(
            QStringLiteral("The page picture could not be encoded: %1").arg(writer.errorString()));
    return buffer.data();
}

} // namespace

QString pagePicturePath()
{
    return flyerTempFolder() + QStringLiteral("/temp.bmp");
}

void SaveDocAsJPG(const QString& documentPath)
{
    StepTrap trap(locationText("Form1", "SaveDocAsJPG"));
    std::optional<OfficeEngine> word;
    QImage page;
    trap.step(116, [&] { word.emplace(); });
    trap.step(118, [&] { runningInstance(word).open(documentPath); });
    trap.step(120, [&] { page = runningInstance(word).renderFirstPage(kPageDotsPerMeter); });
    trap.step(122, [&] {
        if (page.isNull())
            throw Failure(QStringLiteral("There is no picture of the page to save."));
        replaceFile(bmpBytes(page), pagePicturePath());
    });
    trap.step(124, [&] { runningInstance(word).closeWithoutSaving(); });
    trap.step(126, [&] { runningInstance(word).quit(); });
}

} // namespace lumarel
