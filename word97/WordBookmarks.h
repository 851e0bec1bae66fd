#pragma once

#include <QList>
#include <QString>

namespace lumarel {

// Where a bookmark lies in a Word document.
enum class Story
{
    Main,    // the main text
    TextBox, // the text of a text box anchored in the main text
    Other,   // footnotes, headers, comments, endnotes and the rest
};

// One entry of a Word 97 document's bookmark table.
struct WordBookmark
{
    QString name;
    Story story = Story::Main;
    // For a text-box bookmark, the index of the text box among the document's text boxes in
    // the order of their texts, and start and end as character offsets inside that box's text.
    // For a main-text bookmark, start and end are character positions in the main text; for any
    // other, character positions in the document's whole text. -1 outside text boxes.
    int textBox = -1;
    int start = 0;
    int end = 0;

    bool operator==(const WordBookmark&) const = default;
};

// Reads the bookmark table of a Word 97-2003 file (.doc or .dot) straight from the file, in
// the order the file lists them. Throws Failure, naming the file and the cause, for anything
// that is not a readable Word 97 file.
QList<WordBookmark> readWordBookmarks(const QString& path);

} // namespace lumarel
