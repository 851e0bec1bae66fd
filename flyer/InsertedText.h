#pragma once

#include <QStringList>

#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextRange.hpp>

namespace lumarel {

// A text as Word's Range.Text puts it into a document: each CR LF or form feed ends a paragraph,
// a lone CR or LF or a vertical tab breaks the line (given back as LF), and the other control
// characters but the tab, and the non-characters U+FFFE and U+FFFF, are left out. The result
// holds at least one paragraph.
QStringList documentParagraphs(const QString& text);

// Replaces the range's text by the paragraphs; each new paragraph keeps the style and the direct
// paragraph formatting of the paragraph it was split from. Returns the range of the inserted
// text. Runs inside a call to the office.
css::uno::Reference<css::text::XTextRange>
insertParagraphs(const css::uno::Reference<css::text::XTextRange>& range,
                 const QStringList& paragraphs);

// The style name of each paragraph of the text, for reading a filled document back.
QStringList paragraphStyleNames(const css::uno::Reference<css::text::XText>& text);

} // namespace lumarel
