#include "flyer/PageCapture.h"

#include "app/StepTrap.h"
#include "flyer/FlyerRun.h"
#include "flyer/OfficeEngine.h"
#include "flyer/TempFolder.h"

#include <optional>

namespace lumarel {

QString pagePicturePath()
{
    return flyerTempFolder() + QStringLiteral("/temp.bmp");
}

bool SaveDocAsJPG(FlyerRun& run, const QString& documentPath)
{
    StepTrap trap(locationText("Form1", "SaveDocAsJPG"));
    return run.capturePage(
        documentPath, pagePicturePath(),
        [&](int line, const std::function<void()>& body) { return trap.step(line, body); });
}

void SaveDocAsJPG(const QString& documentPath)
{
    std::optional<OfficeEngine> word;
    FlyerRun run([&]() -> OfficeEngine& { return word.emplace(); });
    SaveDocAsJPG(run, documentPath);
}

} // namespace lumarel
