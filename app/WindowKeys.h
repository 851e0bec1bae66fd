#pragma once

class QWidget;

namespace lumarel {

// Keys that work the same in every window of the program: Ctrl+Q closes the window as its
// close button does (which ends the program), F1 shows the help, and Shift+F10 opens the menu
// of the focused control as the Menu key does.
void addWindowKeys(QWidget* window);

// The help: the README, shown in a window of its own beside `parent`.
void showHelp(QWidget* parent);

} // namespace lumarel
