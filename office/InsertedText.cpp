#include "office/InsertedText.h"

#include "office/UnoText.h"

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/PropertyAttribute.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XMultiPropertyStates.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertyState.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/SizeType.hpp>
#include <com/sun/star/text/WritingMode2.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/view/XLineCursor.hpp>

#include <QTextBoundaryFinder>

#include <algorithm>
#include <functional>
#include <vector>

namespace lumarel {

QStringList documentParagraphs(const QString& text)
{
    QStringList paragraphs{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if ((c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') || c == u'\f') {
            paragraphs << QString();
            i += c == u'\r';
        } else if (c == u'\r' || c == u'\n' || c == u'\v') {
            paragraphs.last() += QLatin1Char('\n');
        } else if ((c < 0x20 && c != u'\t') || c == 0xFFFE || c == 0xFFFF) {
            // Word's files use these as marks of their own (0x13 to 0x15 make a field, 0x07
            // ends a table cell): kept, they would take the text around them with them.
        } else {
            paragraphs.last() += QChar(c);
        }
    }
    return paragraphs;
}

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

// Paragraph properties outside the "Para" family: borders and their distances.
// "BorderDistance" is left out: it reads one side's distance and sets all four.
const char* const kBorderProperties[] = {
    "LeftBorder",         "RightBorder",         "TopBorder",         "BottomBorder",
    "LeftBorderDistance", "RightBorderDistance", "TopBorderDistance", "BottomBorderDistance",
};

// The style and direct paragraph formatting of the paragraph the cursor stands in. A cursor
// reports the paragraph's attributes as direct only where the text has some of its own, so the
// paragraph itself is asked.
ParagraphFormat paragraphFormat(const Reference<css::text::XTextCursor>& at)
{
    const Reference<css::beans::XPropertySet> cursor(
        Reference<css::container::XEnumerationAccess>(at, UNO_QUERY_THROW)
            ->createEnumeration()
            ->nextElement(),
        UNO_QUERY_THROW);
    std::vector<rtl::OUString> candidates;
    for (const css::beans::Property& property : cursor->getPropertySetInfo()->getProperties())
        if (property.Name.startsWith("Para") &&
            !(property.Attributes & css::beans::PropertyAttribute::READONLY))
            candidates.push_back(property.Name);
    for (const char* name : kBorderProperties)
        candidates.push_back(rtl::OUString::createFromAscii(name));
    const css::uno::Sequence<rtl::OUString> candidateNames(candidates.data(),
                                                           sal_Int32(candidates.size()));
    const css::uno::Sequence<css::beans::PropertyState> states =
        Reference<css::beans::XPropertyState>(cursor, UNO_QUERY_THROW)
            ->getPropertyStates(candidateNames);
    // The style first: setting it later would reset what follows.
    std::vector<rtl::OUString> names{"ParaStyleName"};
    for (sal_Int32 i = 0; i < candidateNames.getLength(); ++i)
        if (states[i] == css::beans::PropertyState_DIRECT_VALUE &&
            candidateNames[i] != "ParaStyleName")
            names.push_back(candidateNames[i]);
    ParagraphFormat format;
    format.names = css::uno::Sequence<rtl::OUString>(names.data(), sal_Int32(names.size()));
    format.values = Reference<css::beans::XMultiPropertySet>(cursor, UNO_QUERY_THROW)
                        ->getPropertyValues(format.names);
    return format;
}

// Gives the paragraph at the cursor the format: its style, then the direct formatting at once.
void applyParagraphFormat(const Reference<css::beans::XPropertySet>& cursor,
                          const ParagraphFormat& format)
{
    cursor->setPropertyValue(format.names[0], format.values[0]);
    const sal_Int32 direct = format.names.getLength() - 1;
    if (direct > 0)
        Reference<css::beans::XMultiPropertySet>(cursor, UNO_QUERY_THROW)
            ->setPropertyValues(
                css::uno::Sequence<rtl::OUString>(format.names.getConstArray() + 1, direct),
                css::uno::Sequence<css::uno::Any>(format.values.getConstArray() + 1, direct));
}

// The first character's formatting, where the range holds one; an empty format otherwise, since
// text put at a point takes the formatting there of itself.
CharacterFormat characterFormat(const Reference<css::text::XTextCursor>& range)
{
    CharacterFormat format;
    if (range->isCollapsed())
        return format;
    const Reference<css::text::XTextCursor> first =
        range->getText()->createTextCursorByRange(range->getStart());
    first->goRight(1, true);
    std::vector<rtl::OUString> candidates;
    const Reference<css::beans::XPropertySet> properties(first, UNO_QUERY_THROW);
    for (const css::beans::Property& property : properties->getPropertySetInfo()->getProperties())
        if (property.Name.startsWith("Char") &&
            !(property.Attributes & css::beans::PropertyAttribute::READONLY))
            candidates.push_back(property.Name);
    const css::uno::Sequence<rtl::OUString> candidateNames(candidates.data(),
                                                           sal_Int32(candidates.size()));
    const css::uno::Sequence<css::beans::PropertyState> states =
        Reference<css::beans::XPropertyState>(first, UNO_QUERY_THROW)
            ->getPropertyStates(candidateNames);
    std::vector<rtl::OUString> own, inherited;
    for (sal_Int32 i = 0; i < candidateNames.getLength(); ++i)
        (states[i] == css::beans::PropertyState_DIRECT_VALUE ? own : inherited)
            .push_back(candidateNames[i]);
    format.names = css::uno::Sequence<rtl::OUString>(own.data(), sal_Int32(own.size()));
    format.values = Reference<css::beans::XMultiPropertySet>(first, UNO_QUERY_THROW)
                        ->getPropertyValues(format.names);
    format.inherited =
        css::uno::Sequence<rtl::OUString>(inherited.data(), sal_Int32(inherited.size()));
    return format;
}

void applyCharacterFormat(const Reference<css::text::XTextCursor>& text,
                          const CharacterFormat& format)
{
    if (format.names.getLength() + format.inherited.getLength() == 0)
        return;
    Reference<css::beans::XMultiPropertyStates>(text, UNO_QUERY_THROW)
        ->setPropertiesToDefault(format.inherited);
    Reference<css::beans::XMultiPropertySet>(text, UNO_QUERY_THROW)
        ->setPropertyValues(format.names, format.values);
}

} // namespace

namespace {

css::uno::Sequence<rtl::OUString> directionProperties()
{
    const rtl::OUString names[] = {"WritingMode", "ParaLeftMargin", "ParaRightMargin"};
    return css::uno::Sequence<rtl::OUString>(names, 3);
}

Reference<css::text::XTextCursor> cursorOf(TextPlace& place)
{
    Reference<css::text::XTextCursor> cursor(place.range, css::uno::UNO_QUERY);
    if (!cursor.is()) {
        cursor = place.range->getText()->createTextCursorByRange(place.range);
        place.range = cursor.get();
    }
    if (!place.direction) {
        const css::uno::Sequence<css::uno::Any> design =
            Reference<css::beans::XMultiPropertySet>(cursor, UNO_QUERY_THROW)
                ->getPropertyValues(directionProperties());
        sal_Int16 mode = css::text::WritingMode2::PAGE;
        design[0] >>= mode;
        place.direction = ParagraphDirection{mode, design[1], design[2]};
    }
    return cursor;
}

void setDirection(const Reference<css::beans::XPropertySet>& paragraph, sal_Int16 mode,
                  const css::uno::Any& left, const css::uno::Any& right)
{
    paragraph->setPropertyValue("WritingMode", css::uno::Any(mode));
    paragraph->setPropertyValue("ParaLeftMargin", left);
    paragraph->setPropertyValue("ParaRightMargin", right);
}

// Takes back what setDirection() did: the paragraph's own values where the design had none.
void restoreDirection(const Reference<css::beans::XPropertySet>& paragraph,
                      const ParagraphDirection& design)
{
    const Reference<css::beans::XPropertyState> state(paragraph, UNO_QUERY_THROW);
    for (const rtl::OUString& name : directionProperties())
        state->setPropertyToDefault(name);
    sal_Int16 mode = design.mode;
    paragraph->getPropertyValue("WritingMode") >>= mode;
    if (mode != design.mode || paragraph->getPropertyValue("ParaLeftMargin") != design.left ||
        paragraph->getPropertyValue("ParaRightMargin") != design.right)
        setDirection(paragraph, design.mode, design.left, design.right);
}

// Gives each paragraph that the cursor's text stands in the direction of the paragraph's whole
// text (another bookmark's text may stand before this one), changing only what differs.
void setDirections(const TextPlace& place, const Reference<css::text::XTextCursor>& cursor)
{
    using css::text::WritingMode2::RL_TB;
    const ParagraphDirection& design = *place.direction;
    const Reference<css::container::XEnumeration> paragraphs =
        Reference<css::container::XEnumerationAccess>(cursor, UNO_QUERY_THROW)->createEnumeration();
    while (paragraphs->hasMoreElements()) {
        const Reference<css::text::XTextRange> paragraph(paragraphs->nextElement(),
                                                         css::uno::UNO_QUERY);
        if (!paragraph.is())
            continue;
        const Reference<css::text::XParagraphCursor> whole(
            paragraph->getText()->createTextCursorByRange(paragraph->getStart()), UNO_QUERY_THROW);
        whole->gotoStartOfParagraph(false);
        whole->gotoEndOfParagraph(true);
        const bool rightToLeft =
            design.mode != RL_TB && fromUno(whole->getString()).isRightToLeft();
        const Reference<css::beans::XPropertySet> properties(paragraph, UNO_QUERY_THROW);
        sal_Int16 mode = design.mode;
        properties->getPropertyValue("WritingMode") >>= mode;
        // The office reads the indents from the start of the line: swapped, they stay put.
        if (rightToLeft && mode != RL_TB)
            setDirection(properties, RL_TB, design.right, design.left);
        else if (!rightToLeft && mode != design.mode)
            restoreDirection(properties, design);
    }
}

} // namespace

void prepareParagraphs(TextPlace& place, bool format)
{
    const Reference<css::text::XTextCursor> cursor = cursorOf(place);
    if (format && !place.format)
        place.format = paragraphFormat(cursor);
}

void insertParagraphs(TextPlace& place, const QStringList& paragraphs)
{
    const Reference<css::text::XTextCursor> cursor = cursorOf(place);
    if (paragraphs.size() > 1 && !place.format)
        place.format = paragraphFormat(cursor);
    if (!place.characters)
        place.characters = characterFormat(cursor);
    // The cursor's new text takes the place of what it spans, and the cursor then spans the new
    // text. Each CR splits the paragraph there, and Writer makes each LF a line break.
    cursor->setString(toUno(paragraphs.join(QLatin1Char('\r'))));
    place.range = cursor.get();
    // Writer gives the new text the formatting at the range's end, not its start.
    if (!cursor->isCollapsed())
        applyCharacterFormat(cursor, *place.characters);
    if (paragraphs.size() == 1) {
        setDirections(place, cursor);
        return;
    }
    // A split at a paragraph's end gives the new paragraph the style's follow-up style, where
    // Word keeps the paragraph's own style and formatting: the paragraphs after the first get
    // the first one's.
    const Reference<css::text::XParagraphCursor> rest(
        cursor->getText()->createTextCursorByRange(cursor->getEnd()), UNO_QUERY_THROW);
    rest->gotoStartOfParagraph(true);
    for (qsizetype i = 2; i < paragraphs.size(); ++i)
        rest->gotoPreviousParagraph(true);
    applyParagraphFormat(Reference<css::beans::XPropertySet>(rest, UNO_QUERY_THROW), *place.format);
    setDirections(place, cursor);
}

namespace {

css::uno::Sequence<rtl::OUString> heightProperties()
{
    const rtl::OUString names[] = {"CharHeight", "CharHeightAsian", "CharHeightComplex"};
    return css::uno::Sequence<rtl::OUString>(names, 3);
}

struct Lines
{
    int count = 0;
    bool wordBroken = false;
};

bool isSpace(const rtl::OUString& character)
{
    if (character.isEmpty())
        return true;
    const QChar c = fromUno(character).at(0);
    return c.isSpace() || c == QLatin1Char('-') || c == QChar(0x00AD);
}

// Whether a line may end between the two characters: at a space or a hyphen, or where Unicode's
// line-breaking rules allow it without one (between two ideographs, say). Anywhere else the line
// cuts a word in two.
bool mayEndLine(const rtl::OUString& before, const rtl::OUString& after)
{
    if (isSpace(before) || isSpace(after))
        return true;
    const QString pair = fromUno(before) + fromUno(after);
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, pair);
    lines.setPosition(before.getLength());
    return lines.isAtBoundary();
}

// The lines the view lays the paragraphs from `start` to `end` out in, walked with the view's
// cursor from one line's end to the next.
Lines layoutLines(const Reference<css::text::XTextViewCursor>& cursor,
                  const Reference<css::text::XTextRange>& start,
                  const Reference<css::text::XTextRange>& end)
{
    const Reference<css::text::XText> text = start->getText();
    const Reference<css::text::XTextRangeCompare> compare(text, UNO_QUERY_THROW);
    const Reference<css::view::XLineCursor> line(cursor, UNO_QUERY_THROW);
    Lines lines;
    cursor->gotoRange(start, false);
    for (;;) {
        line->gotoEndOfLine(false);
        ++lines.count;
        const Reference<css::text::XTextRange> at = cursor->getStart();
        if (compare->compareRegionEnds(at, end) <= 0)
            return lines;
        // A line that ends amid a word shows the word cut in two.
        const Reference<css::text::XTextCursor> before = text->createTextCursorByRange(at);
        before->goLeft(1, true);
        const Reference<css::text::XTextCursor> after = text->createTextCursorByRange(at);
        after->goRight(1, true);
        lines.wordBroken = lines.wordBroken || !mayEndLine(before->getString(), after->getString());
        if (!cursor->goRight(1, false))
            return lines;
    }
}

} // namespace

namespace {

// The view cursor's height on the page, in 1/100 mm, at `range`.
sal_Int32 heightAt(const Reference<css::text::XTextViewCursor>& cursor,
                   const Reference<css::text::XTextRange>& range)
{
    cursor->gotoRange(range, false);
    return cursor->getPosition().Y;
}

// Whether a text frame of fixed size is too small for its text: the size the frame takes when
// its height may grow with the text is measured against the size it keeps.
std::function<bool()> frameOverflow(const Reference<css::beans::XPropertySet>& frame)
{
    sal_Int16 sizeType = css::text::SizeType::VARIABLE;
    frame->getPropertyValue("SizeType") >>= sizeType;
    if (sizeType != css::text::SizeType::FIX)
        return nullptr;
    return [frame] {
        css::awt::Size fixed, needed;
        frame->getPropertyValue("Size") >>= fixed;
        frame->setPropertyValue("SizeType", css::uno::Any(css::text::SizeType::MIN));
        frame->getPropertyValue("LayoutSize") >>= needed;
        frame->setPropertyValue("SizeType", css::uno::Any(css::text::SizeType::FIX));
        return needed.Height > fixed.Height || needed.Width > fixed.Width;
    };
}

// The row number in a cell's name ("B3" is in row 3); 0 for a cell of a split or merged layout,
// whose name does not give it.
sal_Int32 rowOfCellName(const rtl::OUString& name)
{
    const QString text = fromUno(name);
    qsizetype digits = text.size();
    while (digits > 0 && text.at(digits - 1).isDigit())
        --digits;
    const QStringView column = QStringView(text).left(digits);
    const bool letters =
        !column.isEmpty() && std::all_of(column.begin(), column.end(),
                                         [](QChar c) { return c.unicode() < 128 && c.isLetter(); });
    bool number = false;
    const int row = text.mid(digits).toInt(&number);
    return letters && number ? row : 0;
}

// Where the next row of the table starts, or the text after the table for its last row.
// The text after the table, looked for in the document's main text and its frames: a table's
// anchor does not say which text holds it.
Reference<css::text::XTextRange> afterTable(const Reference<css::text::XTextTable>& table,
                                            const Reference<css::frame::XController>& view)
{
    const Reference<css::uno::XInterface> model = view->getModel();
    std::vector<Reference<css::text::XText>> texts{
        Reference<css::text::XTextDocument>(model, UNO_QUERY_THROW)->getText()};
    const Reference<css::container::XIndexAccess> frames(
        Reference<css::text::XTextFramesSupplier>(model, UNO_QUERY_THROW)->getTextFrames(),
        css::uno::UNO_QUERY);
    for (sal_Int32 i = 0; frames.is() && i < frames->getCount(); ++i)
        texts.push_back(
            Reference<css::text::XTextFrame>(frames->getByIndex(i), UNO_QUERY_THROW)->getText());
    const Reference<css::uno::XInterface> wanted(table, css::uno::UNO_QUERY);
    for (const Reference<css::text::XText>& text : texts) {
        const Reference<css::container::XEnumeration> items =
            Reference<css::container::XEnumerationAccess>(text, UNO_QUERY_THROW)
                ->createEnumeration();
        bool after = false;
        while (items->hasMoreElements()) {
            const Reference<css::uno::XInterface> item(items->nextElement(), css::uno::UNO_QUERY);
            if (after)
                return Reference<css::text::XTextRange>(item, css::uno::UNO_QUERY);
            after = item == wanted;
        }
    }
    return nullptr;
}

// Where the next row of the table starts, or the text after the table for its last row.
Reference<css::text::XTextRange> belowRow(const Reference<css::text::XTextTable>& table,
                                          sal_Int32 row,
                                          const Reference<css::frame::XController>& view)
{
    const css::uno::Sequence<rtl::OUString> names = table->getCellNames();
    for (const rtl::OUString& name : names)
        if (rowOfCellName(name) == row + 1)
            return Reference<css::text::XText>(table->getCellByName(name), UNO_QUERY_THROW)
                ->getStart();
    return afterTable(table, view);
}

// Whether the table row of fixed height that holds `range` is too small for its text: where the
// row below starts when the row may grow, against where it starts now.
std::function<bool()> rowOverflow(const Reference<css::text::XTextRange>& range,
                                  const Reference<css::frame::XController>& view,
                                  const Reference<css::text::XTextViewCursor>& cursor)
{
    const Reference<css::beans::XPropertySet> at(range, UNO_QUERY_THROW);
    Reference<css::text::XTextTable> table;
    Reference<css::beans::XPropertySet> cell;
    at->getPropertyValue("TextTable") >>= table;
    at->getPropertyValue("Cell") >>= cell;
    if (!table.is() || !cell.is())
        return nullptr;
    rtl::OUString cellName;
    cell->getPropertyValue("CellName") >>= cellName;
    const sal_Int32 row = rowOfCellName(cellName);
    const Reference<css::container::XIndexAccess> rows(table->getRows(), UNO_QUERY_THROW);
    if (row < 1 || row > rows->getCount())
        return nullptr;
    const Reference<css::beans::XPropertySet> rowFormat(rows->getByIndex(row - 1), UNO_QUERY_THROW);
    bool grows = true;
    rowFormat->getPropertyValue("IsAutoHeight") >>= grows;
    const Reference<css::text::XTextRange> below = grows ? nullptr : belowRow(table, row, view);
    if (!below.is())
        return nullptr;
    return [=] {
        const sal_Int32 fixed = heightAt(cursor, below);
        rowFormat->setPropertyValue("IsAutoHeight", css::uno::Any(true));
        const sal_Int32 needed = heightAt(cursor, below);
        rowFormat->setPropertyValue("IsAutoHeight", css::uno::Any(false));
        return needed > fixed;
    };
}

} // namespace

bool fitText(TextPlace& place, const Reference<css::frame::XController>& view, const TextFit& fit)
{
    const Reference<css::text::XTextCursor> text = cursorOf(place);
    const Reference<css::text::XTextViewCursor> cursor =
        Reference<css::text::XTextViewCursorSupplier>(view, UNO_QUERY_THROW)->getViewCursor();
    std::function<bool(int)> fits;
    if (fit.measure == TextFit::Measure::FixedBox) {
        // A text in a box that grows with it is never made smaller, and costs nothing more.
        const Reference<css::beans::XPropertySet> frame(text->getText(), css::uno::UNO_QUERY);
        const std::function<bool()> overflows =
            Reference<css::text::XTextFrame>(frame, css::uno::UNO_QUERY).is()
                ? frameOverflow(frame)
                : rowOverflow(text->getStart(), view, cursor);
        if (!overflows)
            return true;
        fits = [overflows](int) { return !overflows(); };
    } else {
        const Reference<css::text::XParagraphCursor> paragraphs(
            text->getText()->createTextCursorByRange(text->getStart()), UNO_QUERY_THROW);
        paragraphs->gotoStartOfParagraph(false);
        const Reference<css::text::XTextRange> start = paragraphs->getStart();
        paragraphs->gotoRange(text->getEnd(), false);
        paragraphs->gotoEndOfParagraph(false);
        const Reference<css::text::XTextRange> end = paragraphs->getEnd();
        fits = [=](int percent) {
            const Lines lines = layoutLines(cursor, start, end);
            return lines.count == 1 || (percent <= fit.floorPercent && !lines.wordBroken &&
                                        lines.count <= fit.linesAtFloor);
        };
    }

    const Reference<css::beans::XMultiPropertySet> characters(text, UNO_QUERY_THROW);
    const css::uno::Sequence<css::uno::Any> now = characters->getPropertyValues(heightProperties());
    if (!place.heights)
        place.heights = now;
    const css::uno::Sequence<css::uno::Any>& design = *place.heights;
    if (now != design)
        characters->setPropertyValues(heightProperties(), design);
    if (fits(100))
        return true;
    const int step = std::max(fit.stepPercent, 1);
    for (int percent = 100 - step;; percent -= step) {
        percent = std::max(percent, fit.floorPercent);
        css::uno::Sequence<css::uno::Any> smaller(design.getLength());
        for (sal_Int32 i = 0; i < design.getLength(); ++i) {
            // A height the text does not hold throughout is left as it is.
            float height = 0;
            smaller.getArray()[i] =
                (design[i] >>= height) ? css::uno::Any(float(height * percent / 100)) : design[i];
        }
        characters->setPropertyValues(heightProperties(), smaller);
        if (fits(percent))
            return true;
        if (percent <= fit.floorPercent)
            return false;
    }
}

QStringList paragraphStyleNames(const css::uno::Reference<css::text::XText>& text)
{
    QStringList names;
    const css::uno::Reference<css::container::XEnumeration> items =
        css::uno::Reference<css::container::XEnumerationAccess>(text, css::uno::UNO_QUERY_THROW)
            ->createEnumeration();
    while (items->hasMoreElements()) {
        const css::uno::Reference<css::lang::XServiceInfo> item(items->nextElement(),
                                                                css::uno::UNO_QUERY);
        if (!item.is() || !item->supportsService("com.sun.star.text.Paragraph"))
            continue;
        rtl::OUString name;
        css::uno::Reference<css::beans::XPropertySet>(item, css::uno::UNO_QUERY_THROW)
            ->getPropertyValue("ParaStyleName") >>= name;
        names << fromUno(name);
    }
    return names;
}

} // namespace lumarel
