#pragma once

#include <QList>
#include <QString>

class QPrinter;
class QWidget;

namespace lumarel {

enum class MessageIcon
{
    None,
    Warning
};
enum class MessageButtons
{
    Ok,
    YesNo
};
enum class Answer
{
    Ok,
    Yes,
    No
};

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
    // `filter` may list several filters separated by ";;"; the first is selected at first, and
    // the one selected when the dialog closed goes to `selectedFilter`.
    // A message that does not take the keyboard: shown beside the active window without
    // activating it and without waiting, so that typing goes on where it was. Recorded like a
    // message box in scripted mode.
    static void notice(const QString& text);

    static QString saveFileName(const QString& title, const QString& filter,
                                QString* selectedFilter = nullptr);

    // The standard print dialog for the printer; false when cancelled.
    static bool print(QPrinter& printer);

    // Title of message boxes that name none of their own.
    static void setAppTitle(const QString& title);
    static QString appTitle();

    // Scripted mode, for tests.
    static void setScripted(bool scripted);
    static void setNextAnswer(Answer answer);
    // An empty filter answers with the first one.
    static void setNextFileName(const QString& name, const QString& selectedFilter = QString());
    // The next print dialog sends its page to this PDF file; without one it is cancelled.
    static void setNextPrintFile(const QString& pdfPath);
    static QList<ShownMessage> takeShown();
    static int fileDialogsShown();
    static int printDialogsShown();
};

} // namespace lumarel
