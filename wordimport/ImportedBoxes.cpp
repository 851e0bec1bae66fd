#include "wordimport/ImportedBoxes.h"

#include "office/UnoText.h"
#include "word97/WordBookmarks.h"

#include <com/sun/star/text/XTextRange.hpp>

#include <algorithm>

namespace lumarel {

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

// A box's text as both sides can give it: paragraphs and line breaks as LF, no trailing ones.
QString comparableText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (const QChar breakMark : {QChar(u'\r'), QChar(u'\v'), QChar(0x2028), QChar(0x2029)})
        text.replace(breakMark, QLatin1Char('\n'));
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

// Only some boxes come out as drawing shapes (the turned ones), so a box's index is no index
// into the shapes: a box is the first shape not yet taken whose text is the box's; failing that,
// the shapes are the turned boxes in the file's order.
QHash<int, int> shapesOfBoxes(const QList<Reference<css::drawing::XShape>>& shapes,
                              const QList<int>& boxes, const QList<WordShape>& fileShapes,
                              const WordParagraphs& fileParagraphs)
{
    QStringList shapeTexts;
    for (const Reference<css::drawing::XShape>& shape : shapes)
        shapeTexts << comparableText(
            fromUno(Reference<css::text::XTextRange>(shape, UNO_QUERY_THROW)->getString()));
    QList<int> turned;
    for (const WordShape& shape : fileShapes)
        if (shape.textBox >= 0 && shape.textFlow != 0)
            turned << shape.textBox;
    std::sort(turned.begin(), turned.end());
    QHash<int, int> found;
    QList<bool> taken(shapes.size(), false);
    for (const int box : boxes) {
        QStringList lines;
        for (const WordParagraph& paragraph : fileParagraphs.paragraphs)
            if (paragraph.story == Story::TextBox && paragraph.textBox == box)
                lines << paragraph.text;
        const QString text = comparableText(lines.join(QLatin1Char('\n')));
        int match = -1;
        for (int i = 0; i < shapes.size() && match < 0; ++i)
            if (!taken[i] && shapeTexts[i] == text)
                match = i;
        if (match < 0 && turned.size() == shapes.size() && turned.contains(box))
            match = int(turned.indexOf(box));
        if (match < 0 && box < shapes.size())
            match = box; // the file tells nothing better: the shapes in the boxes' order
        if (match >= 0 && !taken[match]) {
            taken[match] = true;
            found.insert(box, match);
        }
    }
    return found;
}

} // namespace lumarel
