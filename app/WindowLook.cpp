#include "app/WindowLook.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace lumarel {

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void fillBackground(QWidget* widget, const QColor& colour)
{
    setColour(widget, QPalette::Window, colour);
    widget->setAutoFillBackground(true);
}

void stylePushButton(QPushButton* button)
{
    button->setFont(arialBold(kButtonFontPoints));
    setColour(button, QPalette::Button, Qt::white);
    setColour(button, QPalette::ButtonText, QGuiApplication::palette().color(QPalette::ButtonText));
}

void makeFixedWindow(QWidget* window, const QSize& clientSize)
{
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window->setFixedSize(clientSize);
}

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace lumarel
