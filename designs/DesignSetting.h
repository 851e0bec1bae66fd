#pragma once

#include "designs/Designs.h"

#include <QString>

namespace lumarel {

// The user's choice of design in the settings store (key "design": a built-in name or a file's
// path). A stored choice that can no longer be used falls back to the default design, and the
// user is told so once for that stored value, not at every use.
class DesignSetting
{
public:
    static const QString& key();

    // The design to use now; `notice` gets the message to show when the stored choice fell
    // back to the default and this has not been told yet, else it is left empty.
    FlyerDesign current(QString* notice);
    // Stores the choice; throws Failure when the store cannot be written.
    static void store(const FlyerDesign& design);

private:
    QString m_toldAbout; // the stored value whose fallback was already told
};

} // namespace lumarel
