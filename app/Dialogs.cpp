#include "Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QQueue>

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
                        MessageButtons buttons)
{
    Script& s = script();
    const QString caption = title.isEmpty() ? s.appTitle : title;
    if (s.scripted) {
        s.shown.append({caption, text, icon, buttons});
        return s.answers.isEmpty() ? defaultAnswer(buttons) : s.answers.dequeue();
    }

    QMessageBox box(
        icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption, text,
        buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return buttons == MessageButtons::Ok ? Answer::Ok : Answer::No;
    }
}

void Dialogs::notice(const QString& text)
{
    Script& s = script();
    if (s.scripted) {
        s.shown.append({s.appTitle, text, MessageIcon::Warning, MessageButtons::Ok});
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, s.appTitle, text, QMessageBox::Ok,
                                QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    box->show();
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
    } else {
        // The program asks its own overwrite question, so the dialog must not ask one too.
        name = QFileDialog::getSaveFileName(QApplication::activeWindow(), title, QString(), filter,
                                            &selected, QFileDialog::DontConfirmOverwrite);
    }
    if (selectedFilter)
        *selectedFilter = selected;
    return name;
}

bool Dialogs::print(QPrinter& printer)
{
    Script& s = script();
    if (s.scripted) {
        ++s.printDialogs;
        if (s.printFiles.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(s.printFiles.dequeue());
        return true;
    }
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
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
