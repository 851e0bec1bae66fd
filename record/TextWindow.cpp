#include "record/TextWindow.h"

#include <algorithm>

namespace lumarel {

namespace {

// A part never starts or ends between the two halves of a surrogate pair.
qsizetype offPair(const QString& text, qsizetype at)
{
    if (at > 0 && at < text.size() && text[at].isLowSurrogate() && text[at - 1].isHighSurrogate())
        return at - 1;
    return at;
}

} // namespace

QString TextWindow::set(const QString& text)
{
    return showFrom(text, text.size() - kLongest);
}

QString TextWindow::moveTo(const QString& shown, qsizetype position, qsizetype& shownPosition)
{
    const QString text = whole(shown);
    const QString part = showFrom(text, position - kLongest / 2);
    shownPosition = position - offset();
    return part;
}

QString TextWindow::showFrom(const QString& whole, qsizetype start)
{
    start = offPair(
        whole, std::clamp<qsizetype>(start, 0, std::max<qsizetype>(0, whole.size() - kLongest)));
    const qsizetype end = offPair(whole, std::min(start + kLongest, whole.size()));
    m_before = whole.left(start);
    m_after = whole.mid(end);
    return whole.mid(start, end - start);
}

} // namespace lumarel
