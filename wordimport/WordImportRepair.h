#pragma once

#include <QString>
#include <QStringList>

namespace lumarel {

class OfficeEngine;

// How much of the import a use of the document needs mended.
enum class ImportRepair
{
    Whole,
    // Only what shows on the page, for a picture or a PDF of it: the styles that no text uses
    // and a white page background show nowhere, and their removal costs a call per style.
    Page,
    // The whole document for a format that keeps the import's turned shapes as they are laid
    // out (an .odt): a turned box whose text mixes directions keeps its shape, as for the page.
    WholeKeepingTurnedShapes,
};

// Mends what the office's Word 97 import gets wrong in the document just opened from `path`:
// the bookmarks it drops inside text boxes and the turned boxes are restored (see
// restoreTextBoxBookmarks), the stock styles it adds are removed, and a plain white page
// background is cleared. Read from the file's own records; a file that is not Word 97 is left
// as the office opened it. Call it once, right after the document was opened. Throws Failure.
void repairWordImport(OfficeEngine& office, const QString& path,
                      ImportRepair repair = ImportRepair::Whole);

// Opens a Word 97 document in the office and mends its import: how the office opens every
// flyer, the template and the saved flyer alike, so that it shows what the file holds.
void openWordDocument(OfficeEngine& office, const QString& path, bool readOnly,
                      ImportRepair repair = ImportRepair::Whole);

struct WordParagraphs;
// The paragraph styles a Word 97 file holds, by the office's names for them: an import adds
// stock styles of the office's own besides these.
QStringList wordFileStyles(const WordParagraphs& paragraphs);

// Removes the paragraph styles of the active document that no text uses, but the default one
// and those named in `kept` (by the office's names); returns the names removed. Throws Failure.
QStringList removeUnusedStyles(OfficeEngine& office, const QStringList& kept);

} // namespace lumarel
