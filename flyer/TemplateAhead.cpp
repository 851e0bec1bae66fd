#include "flyer/TemplateAhead.h"

#include "app/AppServices.h"
#include "designs/FlyerTemplate.h"
#include "flyer/FlyerRun.h"
#include "office/OfficeEngine.h"
#include "office/OfficeSession.h"

#include <QFile>

namespace lumarel {

std::optional<OpenedAhead> openDesignAhead(OfficeEngine& office, const FlyerDesign& design)
{
    OfficeSession session(office);
    FlyerRun run(session);
    run.setDesign(design);
    // The office's own folder: the shared temporary folder stays free for the flyers' runs.
    run.setCopyFolder(office.privateFolder());
    const QString key = run.aheadKey();
    if (key.isEmpty() || (design.isDefault() && FileExists(templateCopyPath())))
        return std::nullopt;
    bool opened = true;
    run.openTemplate([&](FlyerStage, const std::function<void()>& body) {
        if (!opened)
            return false;
        try {
            body();
            return true;
        } catch (...) {
            opened = false;
        }
        return false;
    });
    if (!run.designCopy().isEmpty())
        QFile::remove(run.designCopy());
    if (!opened)
        return std::nullopt;
    // Looked up now, so that the flyer only puts the texts in.
    office.findBookmarks(run.designBookmarks());
    return OpenedAhead{key, run.designBookmarks()};
}

} // namespace lumarel
