#include "designs/DesignSetting.h"

#include "app/SettingsStore.h"

namespace lumarel {

const QString& DesignSetting::key()
{
    static const QString name = QStringLiteral("design");
    return name;
}

FlyerDesign DesignSetting::current(QString* notice)
{
    const QString stored = SettingsStore::get(key());
    const FlyerDesign design = storedDesign(stored, notice);
    if (notice->isEmpty())
        return design;
    if (stored == m_toldAbout)
        notice->clear();
    m_toldAbout = stored;
    return design;
}

void DesignSetting::store(const FlyerDesign& design)
{
    SettingsStore::save(key(), design.storedText());
}

} // namespace lumarel
