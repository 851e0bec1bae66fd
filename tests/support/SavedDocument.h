#pragma once

#include "DocumentReading.h"
#include "office/OfficeEngine.h"

#include <QStringList>

namespace lumarel::test {

// A document's texts as an office of its own reads them back.
struct SavedDocument
{
    QStringList paragraphs; // of the main text
    QStringList styles;     // each main-text paragraph's style
    QStringList textBox;    // the text boxes' paragraphs, one box after another

    bool operator==(const SavedDocument&) const = default;
};

inline SavedDocument readSavedDocument(const QString& path)
{
    OfficeEngine office;
    office.open(path, true);
    SavedDocument document{test::paragraphs(office), test::paragraphStyles(office), {}};
    for (const QStringList& box : test::textBoxParagraphs(office))
        document.textBox += box;
    office.quit();
    return document;
}

} // namespace lumarel::test
