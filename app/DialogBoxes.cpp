#include "app/DialogBoxes.h"

#include "app/Dialogs.h"
#include "app/WindowLook.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace lumarel {

namespace {

Answer showMessage(const QString& caption, const QString& text, MessageIcon icon,
                   MessageButtons buttons, const QString& details)
{
    QMessageBox box(
        icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption, text,
        buttons == MessageButtons::Ok ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No);
    box.setDetailedText(details);
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

// Qt's own dialogs size themselves for their content; on a small screen they are fitted into
// its free area when they show, once their frame is known.
class FitIntoScreenOnShow : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            fitIntoScreen(static_cast<QWidget*>(watched));
        return false;
    }
};

QString askFileName(const QString& title, const QString& filter, QString* selected,
                    QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(QApplication::activeWindow(), title, QString(), filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    // The program asks its own overwrite question, so the dialog must not ask one too.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (selected && !selected->isEmpty())
        dialog.selectNameFilter(*selected);
    dialog.installEventFilter(new FitIntoScreenOnShow(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    if (selected)
        *selected = dialog.selectedNameFilter();
    return dialog.selectedFiles().value(0);
}

QString askSaveFileName(const QString& title, const QString& filter, QString* selected)
{
    return askFileName(title, filter, selected, QFileDialog::AcceptSave);
}

QString askOpenFileName(const QString& title, const QString& filter)
{
    return askFileName(title, filter, nullptr, QFileDialog::AcceptOpen);
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
    dialog.installEventFilter(new FitIntoScreenOnShow(&dialog));
    return dialog.exec() == QDialog::Accepted;
}

} // namespace lumarel
