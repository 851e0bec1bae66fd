#pragma once

#include <QCursor>
#include <QList>
#include <QPointer>

#include <optional>

class QWidget;

namespace lumarel {

// A window's one mouse-pointer setting for its whole area: 0 the normal pointer, 11 the
// hourglass while busy, 99 the window's own image (the hand). Hover rules never replace the
// hourglass.
class PointerSetting
{
public:
    static constexpr int Normal = 0;
    static constexpr int Hourglass = 11;
    static constexpr int Custom = 99;

    explicit PointerSetting(QWidget* window) : m_window(window) {}

    int value() const { return m_value; }
    void set(int value);

    void setCustomImage(const QCursor& cursor);
    bool hasCustomImage() const { return m_custom.has_value(); }

    // Hover over a button: the hand, unless busy.
    void handRule();
    // Hover over the background, a frame or a field: the normal pointer, unless busy.
    void normalRule();

private:
    void coverOwnCursors();
    void restoreOwnCursors();

    QWidget* m_window;
    // Controls with a cursor of their own (the text boxes' I-beam) hide the window's setting;
    // while busy they show the hourglass too and get their own back afterwards.
    QList<QPair<QPointer<QWidget>, QCursor>> m_covered;
    int m_value = Normal;
    std::optional<QCursor> m_custom;
};

} // namespace lumarel
