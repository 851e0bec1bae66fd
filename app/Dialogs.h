#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace lumarel {

enum class MessageIcon { None, Warning };
enum class MessageButtons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

struct ShownMessage
{
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

// Every message box and file dialog of the program passes through here. Tests switch the
// service to scripted mode: boxes are recorded instead of shown and answered from a queue,
// so no test ever blocks on a real modal window.
class Dialogs
{
public:
    // Shows a modal message box; `title` empty means the application title.
    static Answer message(const QString& title, const QString& text, MessageIcon icon,
                          MessageButtons buttons);

    // The save dialog; returns the chosen name exactly, or an empty text when cancelled.
    static QString saveFileName(const QString& title, const QString& filter);

    // Title of message boxes that name none of their own.
    static void setAppTitle(const QString& title);
    static QString appTitle();

    // Scripted mode, for tests.
    static void setScripted(bool scripted);
    static void setNextAnswer(Answer answer);
    static void setNextFileName(const QString& name);
    static QList<ShownMessage> takeShown();
    static int fileDialogsShown();
};

} // namespace lumarel
