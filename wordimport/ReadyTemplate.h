#pragma once

#include "wordimport/WordImportRepair.h"

#include <QString>

namespace lumarel {

class OfficeEngine;

// Opens the default flyer template in `office`, read-only, as a flyer fills it: its Word 97
// import repaired. A new office spends as long on the import and its repair as on everything
// else of a flyer, so the repaired template is kept in the user's cache folder as OpenDocument
// (flat XML) after its first opening, one copy per build of this program and of the office,
// and later openings take that copy. `wordCopy` is the template's Word 97 copy, opened when no
// such copy is there yet. The office adds its stock styles to any OpenDocument it opens; for a
// use of the whole document, not only of its page, they are removed again. Throws Failure.
void openFlyerTemplate(OfficeEngine& office, const QString& wordCopy,
                       ImportRepair repair = ImportRepair::Whole);

// Where the repaired copy for this program and `officeProgram` is kept.
QString readyTemplatePath(const QString& officeProgram);

} // namespace lumarel
