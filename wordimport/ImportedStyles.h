#pragma once

#include <QStringList>

#include <com/sun/star/lang/XComponent.hpp>

namespace lumarel {

// Removes the paragraph styles of the document that no text uses, but the default one and those
// named in `kept` (by the office's names); returns the names removed. Runs inside a call to the
// office.
QStringList removeUnusedStyles(const css::uno::Reference<css::lang::XComponent>& document,
                               const QStringList& kept);

// The office's Word 97 export writes a white page background where a document has none, and its
// import reads it back: a page style whose background is plain white gets none, which prints
// the same. Runs inside a call to the office.
void clearWhitePageBackground(const css::uno::Reference<css::lang::XComponent>& document);

} // namespace lumarel
