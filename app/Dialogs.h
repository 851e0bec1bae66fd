#pragma once

#include <QList>
#include <QString>

#include <optional>

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
    QString details;
};

// Every message box and file dialog of the program passes through here. Tests switch the
// service to scripted mode: boxes are recorded instead of shown and answered from a queue,
// so no test ever blocks on a real modal window.
//
// The service itself needs no widgets: the window side puts its boxes in place with
// useDialogBoxes() (app/DialogBoxes.h). Without them, as on the command line, a message goes to
// the standard error output and takes its default answer, and no file name is chosen.
class Dialogs
{
public:
    // The real boxes and dialogs; `message` gets the caption to show.
    struct Boxes
    {
        Answer (*message)(const QString& caption, const QString& text, MessageIcon icon,
                          MessageButtons buttons, const QString& details);
        void (*notice)(const QString& caption, const QString& text);
        QString (*saveFileName)(const QString& title, const QString& filter, QString* selected);
        QString (*openFileName)(const QString& title, const QString& filter);
    };
    static void setBoxes(const Boxes* boxes);

    // Shows a modal message box; `title` empty means the application title. `details`, when
    // given, is what the box shows on request below its text (after it on the command line).
    static Answer message(const QString& title, const QString& text, MessageIcon icon,
                          MessageButtons buttons, const QString& details = QString());

    // A message that does not take the keyboard: shown beside the active window without
    // activating it and without waiting, so that typing goes on where it was. Recorded like a
    // message box in scripted mode.
    static void notice(const QString& text);

    // The save dialog; returns the chosen name exactly, or an empty text when cancelled.
    // `filter` may list several filters separated by ";;"; the first is selected at first, and
    // the one selected when the dialog closed goes to `selectedFilter`.
    static QString saveFileName(const QString& title, const QString& filter,
                                QString* selectedFilter = nullptr);

    // The open dialog for an existing file; returns its name, or an empty text when cancelled.
    // Scripted, it takes the next file name as the save dialog does.
    static QString openFileName(const QString& title, const QString& filter);

    // The standard print dialog for the printer; false when cancelled. Part of the window side
    // (app/DialogBoxes.cpp), as printers are.
    static bool print(QPrinter& printer);
    // For the print dialog: in scripted mode counts a dialog and gives the next print file, an
    // empty one to cancel; nothing when dialogs are really shown.
    static std::optional<QString> scriptedPrint();

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
