#include "wordimport/TextBoxRepair.h"

#include "office/UnoText.h"
#include "wordimport/DocumentUnits.h"
#include "wordimport/ImportedBoxes.h"

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/TextFitToSizeType.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShape.hpp>
#include <com/sun/star/drawing/XShapes.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/style/XStyle.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/HoriOrientation.hpp>
#include <com/sun/star/text/RelOrientation.hpp>
#include <com/sun/star/text/SizeType.hpp>
#include <com/sun/star/text/TextContentAnchorType.hpp>
#include <com/sun/star/text/VertOrientation.hpp>
#include <com/sun/star/text/WrapTextMode.hpp>
#include <com/sun/star/text/WritingMode2.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>

#include <QMap>

#include <algorithm>
#include <climits>

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace lumarel {

namespace {

// Character and paragraph properties a text box's paragraph carries over to the frame when the
// file does not name its style.
const char* const kCarriedProperties[] = {
    "CharFontName", "CharFontFamily", "CharHeight",       "CharWeight",      "CharPosture",
    "CharColor",    "CharCaseMap",    "CharKerning",      "CharAutoKerning", "CharUnderline",
    "ParaAdjust",   "ParaTopMargin",  "ParaBottomMargin",
};
// The drawing shape's text measures letter spacing in twips, the frame's in 1/100 mm.
const rtl::OUString kCharKerning = "CharKerning";

struct Paragraph
{
    rtl::OUString text;
    QMap<rtl::OUString, Any> properties;
};

QList<Paragraph> paragraphsWithFormatting(const Reference<css::text::XText>& text)
{
    QList<Paragraph> result;
    Reference<css::container::XEnumeration> items =
        Reference<css::container::XEnumerationAccess>(text, UNO_QUERY_THROW)->createEnumeration();
    while (items->hasMoreElements()) {
        Reference<css::text::XTextRange> item(items->nextElement(), UNO_QUERY);
        if (!item.is())
            continue;
        Paragraph paragraph{item->getString(), {}};
        // An empty paragraph keeps its formatting at its end, where a cursor reads it.
        Reference<css::beans::XPropertySet> properties(
            text->createTextCursorByRange(item->getStart()), UNO_QUERY);
        if (properties.is()) {
            for (const char* name : kCarriedProperties) {
                const rtl::OUString unoName = rtl::OUString::createFromAscii(name);
                try {
                    Any value = properties->getPropertyValue(unoName);
                    sal_Int16 twips = 0;
                    if (unoName == kCharKerning && (value >>= twips))
                        value <<= sal_Int16(twipsToHundredthMm(twips));
                    paragraph.properties.insert(unoName, value);
                } catch (const css::uno::Exception&) {
                    // A property this kind of text does not have is simply not carried.
                }
            }
        }
        result << paragraph;
    }
    return result;
}

bool isTextFrame(const Reference<css::uno::XInterface>& object)
{
    Reference<css::lang::XServiceInfo> info(object, UNO_QUERY);
    return info.is() && info->supportsService("com.sun.star.text.TextFrame");
}

// Writer documents offer their one draw page only through this (deprecated) supplier.
Reference<css::drawing::XShapes> drawPageOf(const Reference<css::lang::XComponent>& document)
{
    Reference<css::drawing::XDrawPageSupplier> supplier(document, UNO_QUERY);
    if (!supplier.is())
        return nullptr;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return Reference<css::drawing::XShapes>(supplier->getDrawPage(), UNO_QUERY_THROW);
#pragma GCC diagnostic pop
}

// The drawing shapes that hold text, in the order of the page: the imported text boxes.
QList<Reference<css::drawing::XShape>> textShapes(const Reference<css::lang::XComponent>& document)
{
    QList<Reference<css::drawing::XShape>> shapes;
    const Reference<css::drawing::XShapes> page = drawPageOf(document);
    if (!page.is())
        return shapes;
    for (sal_Int32 i = 0; i < page->getCount(); ++i) {
        Reference<css::drawing::XShape> shape(page->getByIndex(i), UNO_QUERY);
        if (shape.is() && !isTextFrame(shape) && Reference<css::text::XText>(shape, UNO_QUERY).is())
            shapes << shape;
    }
    return shapes;
}

void copyProperty(const Reference<css::beans::XPropertySet>& from,
                  const Reference<css::beans::XPropertySet>& to, const char* name)
{
    const rtl::OUString unoName = rtl::OUString::createFromAscii(name);
    to->setPropertyValue(unoName, from->getPropertyValue(unoName));
}

// Word's lengths in the office's hundredths of a millimetre.
sal_Int32 fromTwips(int twips)
{
    return sal_Int32(twipsToHundredthMm(twips));
}

sal_Int32 fromEmu(int emu)
{
    return sal_Int32(emuToHundredthMm(emu));
}

sal_Int16 relationOf(ShapeRelation relation)
{
    switch (relation) {
    case ShapeRelation::Page:
        return css::text::RelOrientation::PAGE_FRAME;
    case ShapeRelation::Margin:
        return css::text::RelOrientation::PAGE_PRINT_AREA;
    case ShapeRelation::Text:
        break;
    }
    return css::text::RelOrientation::FRAME;
}

sal_Int16 writingModeOf(int textFlow)
{
    switch (textFlow) {
    case 1:
    case 3:
        return css::text::WritingMode2::TB_RL;
    case 2:
        return css::text::WritingMode2::BT_LR;
    default:
        return css::text::WritingMode2::LR_TB;
    }
}

// The frame's place, size and look as the file's shape record gives them.
void shapeFromFile(const Reference<css::beans::XPropertySet>& frame, const WordShape& shape)
{
    frame->setPropertyValue("HoriOrient", Any(css::text::HoriOrientation::NONE));
    frame->setPropertyValue("HoriOrientRelation", Any(relationOf(shape.horizontalTo)));
    frame->setPropertyValue("HoriOrientPosition", Any(fromTwips(shape.left)));
    frame->setPropertyValue("VertOrient", Any(css::text::VertOrientation::NONE));
    frame->setPropertyValue("VertOrientRelation", Any(relationOf(shape.verticalTo)));
    frame->setPropertyValue("VertOrientPosition", Any(fromTwips(shape.top)));
    frame->setPropertyValue("Width", Any(fromTwips(shape.right - shape.left)));
    frame->setPropertyValue("Height", Any(fromTwips(shape.bottom - shape.top)));
    frame->setPropertyValue("LeftBorderDistance", Any(fromEmu(shape.textLeft)));
    frame->setPropertyValue("TopBorderDistance", Any(fromEmu(shape.textTop)));
    frame->setPropertyValue("RightBorderDistance", Any(fromEmu(shape.textRight)));
    frame->setPropertyValue("BottomBorderDistance", Any(fromEmu(shape.textBottom)));
    frame->setPropertyValue("LeftMargin", Any(fromEmu(shape.wrapLeft)));
    frame->setPropertyValue("TopMargin", Any(fromEmu(shape.wrapTop)));
    frame->setPropertyValue("RightMargin", Any(fromEmu(shape.wrapRight)));
    frame->setPropertyValue("BottomMargin", Any(fromEmu(shape.wrapBottom)));
    frame->setPropertyValue("WritingMode", Any(writingModeOf(shape.textFlow)));
    frame->setPropertyValue("BackColor", Any(sal_Int32(shape.fillColor)));
    frame->setPropertyValue("BackTransparent", Any(!shape.filled));
    frame->setPropertyValue("Opaque", Any(!shape.behindText));
    css::table::BorderLine2 line;
    if (shape.line) {
        line.Color = sal_Int32(shape.lineColor);
        line.LineWidth = sal_uInt32(qMax(1, fromEmu(shape.lineWidth)));
    }
    for (const char* side : {"LeftBorder", "RightBorder", "TopBorder", "BottomBorder"})
        frame->setPropertyValue(rtl::OUString::createFromAscii(side), Any(line));
}

// The frame's place and size as the import's shape has them, for a file without shape records.
void shapeFromImport(const Reference<css::beans::XPropertySet>& frame,
                     const Reference<css::drawing::XShape>& shape)
{
    Reference<css::beans::XPropertySet> shapeProperties(shape, UNO_QUERY_THROW);
    // A quarter turn swaps the shape's own width and height on the page.
    css::awt::Size size = shape->getSize();
    sal_Int32 angle = 0;
    shapeProperties->getPropertyValue("RotateAngle") >>= angle;
    if (angle % 18000 == 9000)
        std::swap(size.Width, size.Height);
    for (const char* name : {"HoriOrient", "HoriOrientRelation", "HoriOrientPosition", "VertOrient",
                             "VertOrientRelation", "VertOrientPosition"})
        copyProperty(shapeProperties, frame, name);
    frame->setPropertyValue("Width", Any(size.Width));
    frame->setPropertyValue("Height", Any(size.Height));
    frame->setPropertyValue("WritingMode", Any(css::text::WritingMode2::BT_LR));
    frame->setPropertyValue("BackColor", Any(sal_Int32(0xFFFFFF)));
    frame->setPropertyValue("BackTransparent", Any(false));
    frame->setPropertyValue("Opaque", Any(true));
    const css::table::BorderLine2 noLine;
    for (const char* side : {"LeftBorder", "RightBorder", "TopBorder", "BottomBorder"})
        frame->setPropertyValue(rtl::OUString::createFromAscii(side), Any(noLine));
}

// Gives the frame's paragraph the style the file names, with the formatting that style gives;
// false when the document has no such style.
bool applyFileStyle(const Reference<css::beans::XPropertySet>& paragraph, const QString& style)
{
    if (style.isEmpty())
        return false;
    try {
        paragraph->setPropertyValue("ParaStyleName", Any(toUno(style)));
        return true;
    } catch (const css::uno::Exception&) {
        return false;
    }
}

// A frame name the document already uses keeps the office's own name for this frame.
void setUnusedFrameName(const Reference<css::lang::XComponent>& document,
                        const Reference<css::text::XTextFrame>& frame, const rtl::OUString& name)
{
    Reference<css::text::XTextFramesSupplier> frames(document, UNO_QUERY);
    if (frames.is() && frames->getTextFrames()->hasByName(name))
        return;
    Reference<css::container::XNamed>(frame, UNO_QUERY_THROW)->setName(name);
}

// A text frame in place of the turned shape, with the shape's paragraphs, of the styles the
// file gives them (`fileStyles`, by paragraph; empty where unknown).
Reference<css::text::XTextFrame> replaceByFrame(const Reference<css::lang::XComponent>& document,
                                                const Reference<css::drawing::XShape>& shape,
                                                const WordShape* fileShape,
                                                const QStringList& fileStyles,
                                                const QString& unnamedName)
{
    Reference<css::beans::XPropertySet> shapeProperties(shape, UNO_QUERY_THROW);
    const QList<Paragraph> paragraphs =
        paragraphsWithFormatting(Reference<css::text::XText>(shape, UNO_QUERY_THROW));

    Reference<css::lang::XMultiServiceFactory> factory(document, UNO_QUERY_THROW);
    Reference<css::text::XTextFrame> frame(factory->createInstance("com.sun.star.text.TextFrame"),
                                           UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> frameProperties(frame, UNO_QUERY_THROW);
    // Word anchors every floating shape to a paragraph.
    frameProperties->setPropertyValue("AnchorType",
                                      Any(css::text::TextContentAnchorType_AT_PARAGRAPH));
    frameProperties->setPropertyValue("SizeType", Any(css::text::SizeType::FIX));
    frameProperties->setPropertyValue("Surround", Any(css::text::WrapTextMode_THROUGH));
    if (fileShape)
        shapeFromFile(frameProperties, *fileShape);
    else
        shapeFromImport(frameProperties, shape);

    Reference<css::text::XTextRange> anchor =
        Reference<css::text::XTextContent>(shape, UNO_QUERY_THROW)->getAnchor();
    anchor->getText()->insertTextContent(anchor, Reference<css::text::XTextContent>(frame.get()),
                                         false);

    Reference<css::text::XText> text = frame->getText();
    const Reference<css::text::XTextRange> cursor(text->createTextCursor().get());
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text->insertControlCharacter(cursor, css::text::ControlCharacter::PARAGRAPH_BREAK,
                                         false);
        text->insertString(cursor, paragraphs[i].text, false);
    }
    // Formatting set on the whole paragraph also applies to text put into it later.
    Reference<css::container::XEnumeration> items =
        Reference<css::container::XEnumerationAccess>(text, UNO_QUERY_THROW)->createEnumeration();
    for (qsizetype i = 0; i < paragraphs.size() && items->hasMoreElements(); ++i) {
        const Paragraph& paragraph = paragraphs[i];
        Reference<css::beans::XPropertySet> target(items->nextElement(), UNO_QUERY_THROW);
        if (applyFileStyle(target, fileStyles.value(i)))
            continue;
        for (auto it = paragraph.properties.cbegin(); it != paragraph.properties.cend(); ++it)
            target->setPropertyValue(it.key(), it.value());
    }

    rtl::OUString name = Reference<css::container::XNamed>(shape, UNO_QUERY_THROW)->getName();
    if (name.isEmpty())
        name = toUno(unnamedName);
    drawPageOf(document)->remove(shape);
    if (!name.isEmpty())
        setUnusedFrameName(document, frame, name);
    return frame;
}

// The import's shape lays its text out as a line across the page and turns the line with the
// shape, so that runs of either direction stay the right way up, where the frame's turned layout
// draws the runs against its paragraph's direction upside down. It is put where the file places
// the box.
void keepTurnedShape(const Reference<css::drawing::XShape>& shape, const WordShape& fileShape)
{
    const Reference<css::beans::XPropertySet> properties(shape, UNO_QUERY_THROW);
    properties->setPropertyValue("HoriOrientRelation", Any(relationOf(fileShape.horizontalTo)));
    properties->setPropertyValue("HoriOrientPosition", Any(fromTwips(fileShape.left)));
    properties->setPropertyValue("VertOrientRelation", Any(relationOf(fileShape.verticalTo)));
    properties->setPropertyValue("VertOrientPosition", Any(fromTwips(fileShape.top)));
    // The frame the text was fitted in measures a line of both directions shorter than the
    // shape lays it out.
    properties->setPropertyValue("TextFitToSize", Any(css::drawing::TextFitToSizeType_AUTOFIT));
}

void addBookmark(const Reference<css::lang::XComponent>& document,
                 const Reference<css::text::XText>& text, int offset, const QString& name)
{
    Reference<css::text::XTextCursor> cursor = text->createTextCursor();
    cursor->gotoStart(false);
    if (offset > 0 && (offset > 0x7fff || !cursor->goRight(sal_Int16(offset), false)))
        return; // past the box's text: the file's table does not fit this document
    Reference<css::lang::XMultiServiceFactory> factory(document, UNO_QUERY_THROW);
    Reference<css::text::XTextContent> bookmark(
        factory->createInstance("com.sun.star.text.Bookmark"), UNO_QUERY_THROW);
    Reference<css::container::XNamed>(bookmark, UNO_QUERY_THROW)->setName(toUno(name));
    text->insertTextContent(Reference<css::text::XTextRange>(cursor.get()), bookmark, false);
}

} // namespace

bool mixesDirections(const QString& text)
{
    bool left = false, right = false;
    for (const char32_t c : text.toUcs4()) {
        const QChar::Direction direction = QChar::direction(c);
        left = left || direction == QChar::DirL;
        right = right || direction == QChar::DirR || direction == QChar::DirAL;
    }
    return left && right;
}

void restoreTextBoxBookmarks(const Reference<css::lang::XComponent>& document,
                             const QList<WordBookmark>& fileBookmarks,
                             const QList<WordShape>& fileShapes,
                             const WordParagraphs& fileParagraphs, TextBoxRepair repair)
{
    Reference<css::text::XBookmarksSupplier> supplier(document, UNO_QUERY);
    if (!supplier.is())
        return;
    const Reference<css::container::XNameAccess> present = supplier->getBookmarks();
    QMap<int, QList<WordBookmark>> lostByBox;
    for (const WordBookmark& mark : fileBookmarks) {
        if (mark.story == Story::TextBox && !present->hasByName(toUno(mark.name)))
            lostByBox[mark.textBox] << mark;
    }
    // A turned box is replaced even without bookmarks: the export misplaces the import's shape.
    for (const WordShape& shape : fileShapes)
        if (shape.textBox >= 0 && shape.textFlow != 0)
            lostByBox[shape.textBox];
    if (lostByBox.isEmpty())
        return;

    const QList<Reference<css::drawing::XShape>> shapes = textShapes(document);
    const QHash<int, int> shapeOfBox =
        shapesOfBoxes(shapes, lostByBox.keys(), fileShapes, fileParagraphs);
    for (auto it = lostByBox.cbegin(); it != lostByBox.cend(); ++it) {
        if (!shapeOfBox.contains(it.key()))
            continue;
        const auto fileShape =
            std::find_if(fileShapes.cbegin(), fileShapes.cend(),
                         [&](const WordShape& candidate) { return candidate.textBox == it.key(); });
        QStringList styles;
        for (const WordParagraph& paragraph : fileParagraphs.paragraphs)
            if (paragraph.story == Story::TextBox && paragraph.textBox == it.key())
                styles << fileParagraphs.officeStyleName(paragraph.style);
        // The Word 97 export keeps no frame's name: a box the file leaves unnamed is named
        // after the first bookmark it holds, as the flyer template names its box.
        QString unnamedName;
        int firstStart = INT_MAX;
        for (const WordBookmark& mark : fileBookmarks)
            if (mark.story == Story::TextBox && mark.textBox == it.key() &&
                mark.start < firstStart) {
                unnamedName = mark.name + QStringLiteral("Box");
                firstStart = mark.start;
            }
        const Reference<css::drawing::XShape>& shape = shapes[shapeOfBox.value(it.key())];
        if (repair == TextBoxRepair::KeepMixedShapes && fileShape != fileShapes.cend() &&
            fileShape->textFlow != 0 &&
            mixesDirections(
                fromUno(Reference<css::text::XText>(shape, UNO_QUERY_THROW)->getString()))) {
            keepTurnedShape(shape, *fileShape);
            continue;
        }
        const Reference<css::text::XTextFrame> frame =
            replaceByFrame(document, shape, fileShape == fileShapes.cend() ? nullptr : &*fileShape,
                           styles, unnamedName);
        for (const WordBookmark& mark : it.value())
            addBookmark(document, frame->getText(), mark.start, mark.name);
    }
}

QList<QStringList> textBoxParagraphs(const Reference<css::lang::XComponent>& document)
{
    QList<QStringList> boxes;
    const auto paragraphTexts = [](const Reference<css::text::XText>& text) {
        QStringList texts;
        for (const Paragraph& paragraph : paragraphsWithFormatting(text))
            texts << fromUno(paragraph.text);
        return texts;
    };
    Reference<css::text::XTextFramesSupplier> framesSupplier(document, UNO_QUERY);
    if (framesSupplier.is()) {
        Reference<css::container::XIndexAccess> frames(framesSupplier->getTextFrames(),
                                                       UNO_QUERY_THROW);
        for (sal_Int32 i = 0; i < frames->getCount(); ++i)
            boxes << paragraphTexts(
                Reference<css::text::XTextFrame>(frames->getByIndex(i), UNO_QUERY_THROW)
                    ->getText());
    }
    for (const Reference<css::drawing::XShape>& shape : textShapes(document))
        boxes << paragraphTexts(Reference<css::text::XText>(shape, UNO_QUERY_THROW));
    return boxes;
}

} // namespace lumarel
