#pragma once

#include <QString>

namespace lumarel {

// The part of a very long one-line text that its box holds, and the rest before and after it:
// a line box lays out its whole text at every keystroke, which takes half a second for
// megabytes. A text up to kLongest characters is held whole.
class TextWindow
{
public:
    static constexpr qsizetype kLongest = 10000;

    // Takes a whole text; returns the part to show, its end at the text's end, where a box
    // puts the cursor of a new text.
    QString set(const QString& text);
    QString whole(const QString& shown) const { return m_before + shown + m_after; }
    // The part to show around `position` of the whole text, and that position within it.
    QString moveTo(const QString& shown, qsizetype position, qsizetype& shownPosition);

    qsizetype offset() const { return m_before.size(); }
    bool atStart() const { return m_before.isEmpty(); }
    bool atEnd() const { return m_after.isEmpty(); }

private:
    QString showFrom(const QString& whole, qsizetype start);

    QString m_before;
    QString m_after;
};

} // namespace lumarel
