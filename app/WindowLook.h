#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QSize>

class QAbstractSpinBox;
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

// True when the application's colour scheme puts light text on dark backgrounds.
bool darkColourScheme();
// The design's white for a background role (Window also fills the background). Under a dark
// colour scheme the role keeps the scheme's own colour: forcing white there would leave the
// scheme's light text on it, unreadable.
void paintDesignWhite(QWidget* widget, QPalette::ColorRole role = QPalette::Window);

// A command button: Arial 11.25 pt bold on a white face (the scheme's own under a dark
// scheme), in the system's button-text colour.
void stylePushButton(QPushButton* button);

// A window with a fixed single border: it cannot be resized or maximised, only minimised.
void makeFixedWindow(QWidget* window, const QSize& clientSize);

// The client size of a window whose design of `design` scrolls inside it where the screen's
// `room` is smaller: each scroll bar that is needed takes `barExtent` of the room.
QSize scrolledClientSize(QSize design, QSize room, int barExtent);

// A screen reader announces the widget as an application window (the role a plain top-level
// widget reports is "filler").
void announceAsWindow(QWidget* window);
// A screen reader reads a date or time picker's text, not a number.
void readPickerAsText(QAbstractSpinBox* picker);
// A screen reader speaks `text` at once, as an alert of the window.
void announce(QWidget* window, const QString& text);

// Centres the window, with the frame the window system adds once it is shown, on the screen's
// available area, inside that area even when the window is larger than it (then at its top
// left, so the title bar stays reachable).
void centreOnScreen(QWidget* window);
// Moves the window, frame included, only as far as needed to lie inside the available area.
void placeOnScreen(QWidget* window);
// A window larger than the screen's available area, frame included, is made smaller to fit it
// (as far as its layout lets it shrink) and moved inside it.
void fitIntoScreen(QWidget* window);
// Where a frame of `frame`'s size and position lies inside `area`: moved in as little as
// possible, with the top-left corner inside when it is larger than the area.
QPoint placedInside(const QRect& frame, const QRect& area);

// The window and its option buttons, check boxes, frames and labels take the button-face
// colour of the system palette.
void UseSystemColors(QWidget* window);

// With a skin file beside the program, the window, its frames, labels and picture boxes take
// the button-face colour and the file is applied to the window as a Qt style sheet.
// Throws Failure when the skin file exists but cannot be read.
void ApplySkin(QWidget* window);

} // namespace lumarel
