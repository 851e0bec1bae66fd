#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace lumarel {

// Where in a design a bookmark lies.
enum class DesignPlace
{
    MainText,
    TextBox, // a text box, a text frame or a drawn shape with text
    Table,   // a cell of a table in the main text
    HeaderFooter,
    Note, // a footnote, an endnote or a comment
};

struct DesignBookmark
{
    QString name;
    DesignPlace place = DesignPlace::MainText;

    bool operator==(const DesignBookmark&) const = default;
};

// The bookmarks a flyer design may hold, in the order the flyer fills them.
const QStringList& designBookmarkNames();
// The place as a user reads it: "main text", "text box", "table", ...
QString designPlaceText(DesignPlace place);
// The message for a design file that holds none of the flyer's bookmarks; it names them.
QString noDesignBookmarksText(const QString& path);

// Which of the flyer's bookmarks a design holds, each once (where it first appears), in the
// order of designBookmarkNames(). A design is a Word 97-2003 file (.doc, .dot), a Word 2007 or
// later file (.docx, .dotx, .docm) or an OpenDocument text (.odt, .ott), told apart by their
// contents; the office is not needed and nothing in the file runs. Throws Failure naming the file
// for a file that cannot be read, is not a design, holds more text than a flyer shows, or holds
// none of the bookmarks.
QList<DesignBookmark> readDesignBookmarks(const QString& path);

// What the flyer takes from a design file.
struct DesignContents
{
    QList<DesignBookmark> bookmarks; // as readDesignBookmarks() gives them
    // Whether it links pictures, objects or sections on another machine, which the office
    // never loads (a Word 97 design's links are not looked for).
    bool linksToWeb = false;
};
DesignContents readDesign(const QString& path);
// The notice for a design whose links to the web are left out.
QString webContentText(const QString& path);

} // namespace lumarel
