#pragma once

#include "word97/WordBookmarks.h"
#include "word97/WordParagraphs.h"
#include "word97/WordShapes.h"

#include <QList>
#include <QStringList>

#include <com/sun/star/lang/XComponent.hpp>

namespace lumarel {

// The office's Word 97 import turns a text box whose text runs from bottom to top into a
// turned drawing shape. Its text can hold no bookmark, so the box's bookmarks are lost, and
// the shape comes out of a later .doc export upside down and above its place. Each text box
// that lost a bookmark or whose text is turned is replaced by a text frame with the same paragraphs
// and their formatting (the styles the file's own paragraph records name), and the lost bookmarks
// are put back at their offsets. The frame takes its place, size, inner margins, writing direction,
// fill and line from the file's own shape records, since the import's shape is placed wrongly;
// without them, from the import's shape. The frame keeps the shape's name; the Word 97 export
// writes none for a frame, so an unnamed box is named after its first bookmark and "Box" (the
// template's `OrgName` box is `OrgNameBox`). Runs inside a call to the office; throws css::uno
// exceptions like any other such call.
//
// With TextBoxRepair::KeepMixedShapes (for a page alone, or an .odt), a turned box whose text
// mixes directions keeps the import's shape instead, placed as the file places the box and
// without its bookmarks: the frame's turned layout draws the runs against its paragraph's
// direction upside down, the shape lays the line out as it reads and turns it whole.
enum class TextBoxRepair
{
    Whole,
    KeepMixedShapes,
};
void restoreTextBoxBookmarks(const css::uno::Reference<css::lang::XComponent>& document,
                             const QList<WordBookmark>& fileBookmarks,
                             const QList<WordShape>& fileShapes,
                             const WordParagraphs& fileParagraphs,
                             TextBoxRepair repair = TextBoxRepair::Whole);

// Whether `text` holds both right-to-left and left-to-right letters.
bool mixesDirections(const QString& text);

// The paragraphs of each text box: the text frames, then the drawing shapes that hold text.
QList<QStringList> textBoxParagraphs(const css::uno::Reference<css::lang::XComponent>& document);

} // namespace lumarel
