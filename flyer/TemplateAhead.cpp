#include "flyer/TemplateAhead.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "app/SettingsStore.h"
#include "designs/DesignCheck.h"
#include "designs/DesignSetting.h"
#include "designs/FlyerTemplate.h"
#include "office/OfficeEngine.h"
#include "runfiles/RunLock.h"
#include "runfiles/TempFolder.h"
#include "wordimport/ReadyTemplate.h"

#include <QFile>

#include <memory>

namespace lumarel {

bool openTemplateAhead(OfficeEngine& office)
{
    // Another design is opened afresh at each run: it may have changed since.
    QString notice;
    if (!storedDesign(SettingsStore::get(DesignSetting::key()), &notice).isDefault())
        return false;
    std::unique_ptr<RunLock> lock;
    try {
        lock = std::make_unique<RunLock>(0);
    } catch (const Failure&) {
        return false; // another run uses the folder: the next flyer opens the template itself
    }
    if (FileExists(templateCopyPath()))
        return false;
    SaveBytesToFile(embeddedTemplate(), templateCopyPath());
    // The office holds the template now; the copy goes, so that nobody takes it for a leftover.
    const auto removeCopy = [] { QFile::remove(templateCopyPath()); };
    try {
        openFlyerTemplate(office, templateCopyPath());
        // Looked up now, so that the press only puts the texts in.
        office.findBookmarks(designBookmarkNames());
    } catch (...) {
        removeCopy();
        throw;
    }
    removeCopy();
    return true;
}

} // namespace lumarel
