#pragma once

#include <QString>

namespace lumarel::cli {

// The widest line the help texts use: a terminal of 80 columns shows them without breaks.
inline constexpr int kHelpColumns = 79;

// Breaks every line longer than `columns` at its last blanks before the limit; a broken line's
// continuation keeps the line's indentation. Words longer than a line stay whole.
QString wrapText(const QString& text, int columns = kHelpColumns);

// What --help adds after the options, and what --help-all adds after that.
QString helpEpilogue();
QString helpAllEpilogue();

} // namespace lumarel::cli
