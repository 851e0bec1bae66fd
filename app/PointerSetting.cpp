#include "PointerSetting.h"

#include <QWidget>

namespace lumarel {

void PointerSetting::set(int value)
{
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

} // namespace lumarel
