#pragma once

#include <QList>
#include <QString>

namespace lumarel {

// What a Word 97 shape's place is measured from.
enum class ShapeRelation
{
    Margin, // the page's text area
    Page,
    Text, // the column horizontally, the anchor's paragraph vertically
};

// One floating shape of a Word 97 document's main text: its anchor record and the drawing
// properties a text box needs. Lengths in twips, inner margins, wrap distances and line width in
// EMU (914400 per inch), colours as 0xRRGGBB. Properties the file leaves out have Word's defaults.
struct WordShape
{
    quint32 id = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    ShapeRelation horizontalTo = ShapeRelation::Text;
    ShapeRelation verticalTo = ShapeRelation::Text;
    bool behindText = false;
    // Index among the document's text boxes in the order of their texts; -1 for other shapes.
    int textBox = -1;
    int textLeft = 91440;
    int textTop = 45720;
    int textRight = 91440;
    int textBottom = 45720;
    // The distances that text wrapping around the shape keeps from it.
    int wrapLeft = 114300;
    int wrapTop = 0;
    int wrapRight = 114300;
    int wrapBottom = 0;
    // 0 horizontal, 1 and 3 top to bottom, 2 bottom to top, 5 stacked.
    int textFlow = 0;
    bool filled = true;
    quint32 fillColor = 0xFFFFFF;
    bool line = true;
    quint32 lineColor = 0x000000;
    int lineWidth = 9525;

    bool operator==(const WordShape&) const = default;
};

// Reads the floating shapes of a Word 97-2003 file's main text, in the order of their anchors.
// Throws Failure, naming the file and the cause, for anything that is not a readable Word 97
// file; never reads outside the file's bytes.
QList<WordShape> readWordShapes(const QString& path);

} // namespace lumarel
