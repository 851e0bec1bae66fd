#include "app/DialogBoxes.h"

#include "app/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace lumarel {

namespace {

Answer showMessage(const QString& caption, const QString& text, MessageIcon icon,
                   MessageButtons buttons)
{
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

void showNotice(const QString& caption, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok,
                                QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

QString askSaveFileName(const QString& title, const QString& filter, QString* selected)
{
    // The program asks its own overwrite question, so the dialog must not ask one too.
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, QString(), filter,
                                        selected, QFileDialog::DontConfirmOverwrite);
}

QString askOpenFileName(const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, QString(), filter);
}

const Dialogs::Boxes kBoxes{&showMessage, &showNotice, &askSaveFileName, &askOpenFileName};

} // namespace

void useDialogBoxes()
{
    Dialogs::setBoxes(&kBoxes);
}

bool Dialogs::print(QPrinter& printer)
{
    if (const std::optional<QString> scripted = scriptedPrint()) {
        if (scripted->isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*scripted);
        return true;
    }
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

} // namespace lumarel
