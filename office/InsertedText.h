#pragma once

#include "office/TextFit.h"

#include <QStringList>

#include <optional>

#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Sequence.hxx>

namespace lumarel {

// A text as Word's Range.Text puts it into a document: each CR LF or form feed ends a paragraph,
// a lone CR or LF or a vertical tab breaks the line (given back as LF), and the other control
// characters but the tab, and the non-characters U+FFFE and U+FFFF, are left out. The result
// holds at least one paragraph.
QStringList documentParagraphs(const QString& text);

// The style and direct paragraph formatting that each inserted paragraph takes.
struct ParagraphFormat
{
    css::uno::Sequence<rtl::OUString> names; // the style's name first, then the direct ones
    css::uno::Sequence<css::uno::Any> values;
};

// A paragraph's direction (a WritingMode2 value) and its left and right indents, as the design
// gives them.
struct ParagraphDirection
{
    sal_Int16 mode;
    css::uno::Any left;
    css::uno::Any right;
};

// The character formatting of a bookmark's first character: what it has of its own, and what
// it takes from its paragraph and styles (to be cleared of any other run's own formatting).
struct CharacterFormat
{
    css::uno::Sequence<rtl::OUString> names;
    css::uno::Sequence<css::uno::Any> values;
    css::uno::Sequence<rtl::OUString> inherited;
};

// Where a bookmark's text goes: first the bookmark's own range, then the text put there, so that
// the next text replaces it. The format is read from the paragraph once, when first needed: every
// paragraph inserted there takes the same one.
struct TextPlace
{
    css::uno::Reference<css::text::XTextRange> range;
    std::optional<ParagraphFormat> format;
    // Read before the first text is put in.
    std::optional<ParagraphDirection> direction;
    std::optional<CharacterFormat> characters;
    // The design's character heights (Western, Asian, complex), read at the first fit, so that
    // every later text starts from them again.
    std::optional<css::uno::Sequence<css::uno::Any>> heights;
};

// Replaces the place's text by the paragraphs; each new paragraph keeps the style and the direct
// paragraph formatting of the paragraph it was split from, and the whole text takes the
// character formatting of the bookmark's first character, as typing over a selection does. A
// paragraph whose first strong character is right-to-left reads right to left: its alignment
// mirrored, as the office does for such a paragraph, but its indents kept where the design puts
// them, clear of what stands beside the text. Any other paragraph keeps the design's direction. The
// place then holds the inserted text. Runs inside a call to the office.
void insertParagraphs(TextPlace& place, const QStringList& paragraphs);

// Readies the place for insertParagraphs(), which then needs no look-up of its own: its cursor
// made and, with `format`, its paragraph's format read. Runs inside a call to the office.
void prepareParagraphs(TextPlace& place, bool format);

// Gives the place's text the design's size again and, where it does not fit as `fit` measures
// (for its lines: more lines than allowed, or a word broken across lines), makes it smaller until
// it does. True when the text fits; one that does not is left at the floor. Lines and boxes are
// those the document's view lays out. Runs inside a call to the office.
bool fitText(TextPlace& place, const css::uno::Reference<css::frame::XController>& view,
             const TextFit& fit);

// The style name of each paragraph of the text, for reading a filled document back.
QStringList paragraphStyleNames(const css::uno::Reference<css::text::XText>& text);

} // namespace lumarel
