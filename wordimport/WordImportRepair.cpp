#include "wordimport/WordImportRepair.h"

#include "app/Failure.h"
#include "office/DocumentWork.h"
#include "office/OfficeEngine.h"
#include "word97/WordBookmarks.h"
#include "word97/WordParagraphs.h"
#include "word97/WordShapes.h"
#include "wordimport/ImportedStyles.h"
#include "wordimport/TextBoxRepair.h"

#include <memory>

namespace lumarel {

QStringList wordFileStyles(const WordParagraphs& paragraphs)
{
    QStringList styles;
    for (int i = 0; i < paragraphs.styles.size(); ++i)
        styles << paragraphs.officeStyleName(i);
    return styles;
}

void repairWordImport(OfficeEngine& office, const QString& path, ImportRepair repair)
{
    QList<WordBookmark> fileBookmarks;
    QList<WordShape> fileShapes;
    WordParagraphs fileParagraphs;
    try {
        fileBookmarks = readWordBookmarks(path);
        fileShapes = readWordShapes(path);
        fileParagraphs = readWordParagraphs(path);
    } catch (const Failure&) {
        if (fileBookmarks.isEmpty())
            return; // not a Word 97 file: its import loses nothing of this kind
    }
    const QStringList fileStyles = wordFileStyles(fileParagraphs);
    office.workOnDocument(
        QStringLiteral("restoring the text boxes of \"%1\"").arg(path),
        {[fileBookmarks, fileShapes, fileParagraphs, fileStyles, repair](const auto& document) {
            restoreTextBoxBookmarks(document, fileBookmarks, fileShapes, fileParagraphs,
                                    repair == ImportRepair::Whole ? TextBoxRepair::Whole
                                                                  : TextBoxRepair::KeepMixedShapes);
            if (repair == ImportRepair::Page)
                return;
            if (!fileStyles.isEmpty())
                removeUnusedStyles(document, fileStyles);
            clearWhitePageBackground(document);
        }});
}

void openWordDocument(OfficeEngine& office, const QString& path, bool readOnly, ImportRepair repair)
{
    office.open(path, readOnly);
    repairWordImport(office, path, repair);
}

QStringList removeUnusedStyles(OfficeEngine& office, const QStringList& kept)
{
    // Shared with the work, which may outlive the call when the office hangs.
    const auto removed = std::make_shared<QStringList>();
    office.workOnDocument(
        QStringLiteral("removing unused styles"),
        {[kept, removed](const auto& document) { *removed = removeUnusedStyles(document, kept); }});
    return *removed;
}

} // namespace lumarel
