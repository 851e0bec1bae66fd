#include "PointerSetting.h"

#include <QWidget>

namespace lumarel {

void PointerSetting::set(int value)
{
    if (value == Hourglass && m_value != Hourglass)
        coverOwnCursors();
    else if (value != Hourglass && m_value == Hourglass)
        restoreOwnCursors();
    m_value = value;
    if (value == Hourglass)
        m_window->setCursor(Qt::WaitCursor);
    else if (value == Custom && m_custom)
        m_window->setCursor(*m_custom);
    else
        m_window->unsetCursor();
}

void PointerSetting::setCustomImage(const QCursor& cursor)
{
    m_custom = cursor;
    if (m_value == Custom)
        set(Custom);
}

void PointerSetting::handRule()
{
    if (m_value != Hourglass)
        set(Custom);
}

void PointerSetting::normalRule()
{
    if (m_value != Hourglass)
        set(Normal);
}

void PointerSetting::coverOwnCursors()
{
    const auto children = m_window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (child->isWindow() || !child->testAttribute(Qt::WA_SetCursor))
            continue;
        m_covered.append({child, child->cursor()});
        child->setCursor(Qt::WaitCursor);
    }
}

void PointerSetting::restoreOwnCursors()
{
    for (const auto& [child, cursor] : std::as_const(m_covered)) {
        if (child)
            child->setCursor(cursor);
    }
    m_covered.clear();
}

} // namespace lumarel
