#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QSize>

class QPushButton;
class QWidget;

namespace lumarel {

// The look the program's windows share.
inline constexpr double kWindowFontPoints = 9.0;
inline constexpr double kButtonFontPoints = 11.25;

QFont arialBold(double points);

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// The widget paints its own background in `colour`.
void fillBackground(QWidget* widget, const QColor& colour);

// A command button: Arial 11.25 pt bold on a white face, in the system's button-text colour.
void stylePushButton(QPushButton* button);

// A window with a fixed single border: it cannot be resized or maximised, only minimised.
void makeFixedWindow(QWidget* window, const QSize& clientSize);

// Centres the window, with the frame the window system adds once it is shown, on the screen.
void centreOnScreen(QWidget* window);

} // namespace lumarel
