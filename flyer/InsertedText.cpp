#include "flyer/InsertedText.h"

#include "flyer/UnoText.h"

#include <com/sun/star/beans/PropertyAttribute.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertyState.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XTextCursor.hpp>

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
const char* const kBorderProperties[] = {
    "LeftBorder",        "RightBorder",          "TopBorder",
    "BottomBorder",      "LeftBorderDistance",   "RightBorderDistance",
    "TopBorderDistance", "BottomBorderDistance", "BorderDistance",
};

struct ParagraphFormat
{
    css::uno::Sequence<rtl::OUString> names;
    css::uno::Sequence<css::uno::Any> values;
};

// The paragraph's style and its direct paragraph formatting, as a cursor in it sees them.
ParagraphFormat paragraphFormat(const Reference<css::beans::XPropertySet>& cursor)
{
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
    format.values = css::uno::Sequence<css::uno::Any>(format.names.getLength());
    for (sal_Int32 i = 0; i < format.names.getLength(); ++i)
        format.values.getArray()[i] = cursor->getPropertyValue(format.names[i]);
    return format;
}

} // namespace

Reference<css::text::XTextRange> insertParagraphs(const Reference<css::text::XTextRange>& range,
                                                  const QStringList& paragraphs)
{
    range->setString(rtl::OUString());
    const Reference<css::text::XText> text = range->getText();
    const Reference<css::text::XTextCursor> textCursor = text->createTextCursorByRange(range);
    const Reference<css::text::XTextRange> cursor(textCursor.get());
    const Reference<css::beans::XPropertySet> cursorProperties(textCursor, UNO_QUERY_THROW);
    // A cursor at the insertion point would be pushed along by the insertion; one a character
    // before it stays, and finds the start of the inserted text again afterwards.
    const Reference<css::text::XTextCursor> inserted = text->createTextCursorByRange(range);
    const bool atTextStart = !inserted->goLeft(1, false);
    ParagraphFormat format;
    if (paragraphs.size() > 1)
        format = paragraphFormat(cursorProperties);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) {
            text->insertControlCharacter(cursor, css::text::ControlCharacter::PARAGRAPH_BREAK,
                                         false);
            // A break at a paragraph's end gives the new one the style's follow-up style, where
            // Word keeps the paragraph's own style and formatting.
            for (sal_Int32 k = 0; k < format.names.getLength(); ++k)
                cursorProperties->setPropertyValue(format.names[k], format.values[k]);
        }
        // Writer makes each LF a line break within the paragraph.
        text->insertString(cursor, toUno(paragraphs[i]), false);
    }
    if (atTextStart)
        inserted->gotoStart(false);
    else
        inserted->goRight(1, false);
    inserted->gotoRange(cursor->getEnd(), true);
    return Reference<css::text::XTextRange>(inserted, UNO_QUERY_THROW);
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
