#include "Dialogs.h"

#include <QQueue>

#include <cstdio>

namespace lumarel {

namespace {

struct Script
{
    bool scripted = false;
    QQueue<Answer> answers;
    QQueue<QPair<QString, QString>> fileNames;
    QQueue<QString> printFiles;
    QList<ShownMessage> shown;
    int fileDialogs = 0;
    int printDialogs = 0;
    QString appTitle;
    const Dialogs::Boxes* boxes = nullptr;
};

Script& script()
{
    static Script s;
    return s;
}

Answer defaultAnswer(MessageButtons buttons)
{
    return buttons == MessageButtons::Ok ? Answer::Ok : Answer::No;
}

} // namespace

Answer Dialogs::message(const QString& title, const QString& text, MessageIcon icon,
                        MessageButtons buttons, const QString& details)
{
    Script& s = script();
    const QString caption = title.isEmpty() ? s.appTitle : title;
    if (s.scripted) {
        s.shown.append({caption, text, icon, buttons, details});
        return s.answers.isEmpty() ? defaultAnswer(buttons) : s.answers.dequeue();
    }

    if (s.boxes)
        return s.boxes->message(caption, text, icon, buttons, details);
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(caption), qUtf8Printable(text));
    if (!details.isEmpty())
        std::fprintf(stderr, "%s\n", qUtf8Printable(details));
    return defaultAnswer(buttons);
}

void Dialogs::notice(const QString& text)
{
    Script& s = script();
    if (s.scripted) {
        s.shown.append({s.appTitle, text, MessageIcon::Warning, MessageButtons::Ok, QString()});
        return;
    }
    if (s.boxes)
        s.boxes->notice(s.appTitle, text);
    else
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(s.appTitle), qUtf8Printable(text));
}

QString Dialogs::saveFileName(const QString& title, const QString& filter, QString* selectedFilter)
{
    Script& s = script();
    QString selected = filter.section(QStringLiteral(";;"), 0, 0);
    QString name;
    if (s.scripted) {
        ++s.fileDialogs;
        if (!s.fileNames.isEmpty()) {
            const auto [scriptedName, scriptedFilter] = s.fileNames.dequeue();
            name = scriptedName;
            if (!scriptedFilter.isEmpty())
                selected = scriptedFilter;
        }
    } else if (s.boxes) {
        name = s.boxes->saveFileName(title, filter, &selected);
    }
    if (selectedFilter)
        *selectedFilter = selected;
    return name;
}

QString Dialogs::openFileName(const QString& title, const QString& filter)
{
    Script& s = script();
    if (s.scripted) {
        ++s.fileDialogs;
        return s.fileNames.isEmpty() ? QString() : s.fileNames.dequeue().first;
    }
    return s.boxes ? s.boxes->openFileName(title, filter) : QString();
}

std::optional<QString> Dialogs::scriptedPrint()
{
    Script& s = script();
    if (!s.scripted)
        return std::nullopt;
    ++s.printDialogs;
    return s.printFiles.isEmpty() ? QString() : s.printFiles.dequeue();
}

void Dialogs::setBoxes(const Boxes* boxes)
{
    script().boxes = boxes;
}

void Dialogs::setAppTitle(const QString& title)
{
    script().appTitle = title;
}

QString Dialogs::appTitle()
{
    return script().appTitle;
}

void Dialogs::setScripted(bool scripted)
{
    script().scripted = scripted;
}

void Dialogs::setNextAnswer(Answer answer)
{
    script().answers.enqueue(answer);
}

void Dialogs::setNextFileName(const QString& name, const QString& selectedFilter)
{
    script().fileNames.enqueue({name, selectedFilter});
}

void Dialogs::setNextPrintFile(const QString& pdfPath)
{
    script().printFiles.enqueue(pdfPath);
}

QList<ShownMessage> Dialogs::takeShown()
{
    QList<ShownMessage> shown;
    shown.swap(script().shown);
    return shown;
}

int Dialogs::fileDialogsShown()
{
    return script().fileDialogs;
}

int Dialogs::printDialogsShown()
{
    return script().printDialogs;
}

} // namespace lumarel
