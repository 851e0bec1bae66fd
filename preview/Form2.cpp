#include "preview/Form2.h"

#include "app/AppServices.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/ProgramEnd.h"
#include "app/StepTrap.h"
#include "app/Twips.h"
#include "app/WindowLook.h"
#include "flyer/DocumentExport.h"
#include "flyer/FlyerService.h"
#include "office/OfficePool.h"
#include "preview/Form2Layout.h"
#include "preview/PageKeys.h"
#include "preview/PagePrint.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QWheelEvent>

#include <algorithm>

namespace lumarel {

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window), m_pointer(this), m_layout(form2DesignLayout(1e9, 1e9)),
      m_view(viewportOuter(m_layout.viewport), viewportInner(m_layout.viewport, Twips::screenDpi()),
             {float(m_layout.page.width), float(m_layout.page.height)}, Twips::screenDpi())
{
    setObjectName(QStringLiteral("Form2"));
    announceAsWindow(this);
    setAccessibleName(QStringLiteral("Lumarel: flyer preview"));
    setFont(arialBold(kWindowFontPoints));
    paintDesignWhite(this);
    setMouseTracking(true);
    // Resizable down to the smallest page area; it opens at its design size.
    setMinimumSize(Twips::toPixels(form2Layout(0, 0).client).size());
    resize(Twips::toPixels(m_layout.client).size());
    createControls();
    m_view.setPointerReset([this] { m_pointer.set(PointerSetting::Normal); });
    Form_Load();

    fitToScreen();
    centreOnScreen(this);
}

void Form2::Form_Load()
{
    StepTrap trap(locationText("Form2", "Form_Load"));
    trap.step(100, [&] { mFirstActivate = true; });
    trap.step(102, [&] { UseSystemColors(this); });
    trap.step(104, [&] {
        setWindowTitle(kProductName);
        setWindowIcon(appIcon());
    });
    const QString cursorPath = optionalFile(kHandCursorFile);
    if (trap.test(108, [&] { return FileExists(cursorPath); }))
        trap.step(110, [&] { m_pointer.setCustomImage(loadCursorFile(cursorPath)); });
}

void Form2::loadPicture(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw Failure(QStringLiteral("The picture file %1 was not found").arg(path));
    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull())
        throw Failure(
            QStringLiteral("The file %1 is not a picture: %2").arg(path, reader.errorString()));
    loadPicture(picture);
}

void Form2::loadPicture(const QImage& picture)
{
    m_view.assignPicture(picture);
    applyView();
}

bool Form2::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void Form2::Form_Activate()
{
    // A message box during the set-up activates the window again when it closes.
    if (m_activating)
        return;
    m_activating = true;
    StepTrap trap(locationText("Form2", "Form_Activate"));
    if (trap.test(100, [&] { return mFirstActivate; })) {
        // Shown now, the window knows its frame and its screen.
        fitToScreen();
        placeOnScreen(this);
        m_view.firstDisplay(trap);
        // The keys scroll a new page at once.
        Picture2->setFocus(Qt::OtherFocusReason);
    }
    trap.step(138, [&] { mFirstActivate = false; });
    applyView();
    m_activating = false;
}

void Form2::PushButton1_Click()
{
    StepTrap trap(locationText("Form2", "PushButton1_Click"));
    trap.step(100, [&] { m_view.ZoomStep(0); });
    applyView();
}

void Form2::PushButton2_Click()
{
    StepTrap trap(locationText("Form2", "PushButton2_Click"));
    trap.step(100, [&] { m_view.ZoomStep(1); });
    applyView();
}

void Form2::withFlyers(const std::function<void(FlyerService&)>& work)
{
    // The program's office: one that failed in this use is replaced in the background.
    const int before = m_pointer.value();
    m_pointer.set(PointerSetting::Hourglass);
    const auto restore = qScopeGuard([&] { m_pointer.set(before); });
    FlyerService flyers(programOffices());
    work(flyers);
}

void Form2::PushButton6_Click()
{
    StepTrap trap(locationText("Form2", "PushButton6_Click"));
    // The dialog asks no overwrite question of its own and adds no extension; a name without
    // one gets the chosen filter's from saveTargetFor.
    QString chosen;
    QString filter;
    trap.step(
        112, [&] { chosen = Dialogs::saveFileName(tr("Save File"), saveDialogFilter(), &filter); });
    SaveFormat format = SaveFormat::Word97;
    trap.step(114, [&] {
        if (chosen.isEmpty())
            return;
        const SaveTarget target = saveTargetFor(chosen, filter);
        chosen = target.refusal.isEmpty() ? target.path : QString();
        format = target.format;
        if (!target.refusal.isEmpty())
            Dialogs::message(QString(), target.refusal, MessageIcon::Warning, MessageButtons::Ok);
    });
    // Only a save that wrote the file says so.
    bool written = false;
    if (!trap.test(116, [&] { return chosen.isEmpty(); })) {
        Answer answer = Answer::No;
        if (trap.test(118, [&] { return FileExists(chosen); })) {
            trap.step(120, [&] {
                answer = Dialogs::message(QString(),
                                          tr("Are you sure you wish to overwrite %1 ?").arg(chosen),
                                          MessageIcon::None, MessageButtons::YesNo);
            });
        } else {
            trap.step(126, [&] { answer = Answer::Yes; });
        }
        if (trap.test(128, [&] { return answer == Answer::Yes; })) {
            // Every format is written beside the old file and takes its place only when
            // complete, so a failed save never loses the file it was to replace.
            written = trap.step(130, [&] {
                withFlyers(
                    [&](FlyerService& flyers) { flyers.saveDocument(mWordFile, chosen, format); });
            });
        }
    }
    if (written)
        trap.step(132, [&] {
            Dialogs::message(QString(), tr("Done."), MessageIcon::None, MessageButtons::Ok);
        });
}

void Form2::PushButton8_Click()
{
    StepTrap trap(locationText("Form2", "PushButton8_Click"));
    trap.step(102, [&] { RemoveFile(mWordFile); });
    trap.step(104, [&] {
        if (m_mainWindow)
            m_mainWindow->show();
    });
    trap.step(106, [&] { hide(); });
    mFirstActivate = true;
}

void Form2::mnuPrint_Click()
{
    StepTrap trap(locationText("Form2", "mnuPrint_Click"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(kProductName);
    bool accepted = false;
    trap.step(100, [&] { accepted = Dialogs::print(printer); });
    if (accepted)
        trap.step(102, [&] {
            withFlyers([&](FlyerService& flyers) { printFirstPage(flyers, mWordFile, printer); });
        });
}

void Form2::Form_QueryUnload()
{
    StepTrap trap(locationText("Form2", "Form_QueryUnload"));
    trap.step(100, [&] { RemoveFile(mWordFile); });
    trap.step(102, [&] { QCoreApplication::processEvents(); });
    trap.step(104, [&] { QCoreApplication::processEvents(); });
}

void Form2::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
    endProgram();
}

void Form2::mouseMoveEvent(QMouseEvent* event)
{
    m_pointer.normalRule();
    QWidget::mouseMoveEvent(event);
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel &&
        (watched == Picture1 || watched == Picture2 || watched == m_viewportInside)) {
        pageWheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (watched == Picture2 &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // The focused page area shows a border in the highlight colour instead of its sunken one.
        const bool focused = event->type() == QEvent::FocusIn;
        Picture2->setFrameShadow(focused ? QFrame::Plain : QFrame::Sunken);
        setColour(Picture2, QPalette::WindowText,
                  focused ? palette().color(QPalette::Highlight)
                          : palette().color(QPalette::WindowText));
        return false;
    }
    if (watched == Picture2 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool scrolled = false;
        StepTrap trap(locationText("Form2", "Picture2_KeyDown"));
        trap.step(100, [&] { scrolled = scrollPageByKey(m_view, key->key(), key->modifiers()); });
        applyView();
        return scrolled;
    }
    if (watched == Picture1) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            forwardPageMouse(event);
            return true;
        default:
            return false;
        }
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == Frame1)
            m_pointer.normalRule();
        else if (qobject_cast<QPushButton*>(watched))
            m_pointer.handRule();
    }
    return false;
}

void Form2::pageWheel(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        for (int steps = wheelZoomSteps(event->angleDelta().y(), m_wheelZoom); steps != 0;
             steps += steps > 0 ? -1 : 1)
            steps > 0 ? PushButton1_Click() : PushButton2_Click();
        return;
    }
    StepTrap trap(locationText("Form2", "Picture2_MouseWheel"));
    trap.step(100, [&] {
        scrollPageByWheel(m_view, event->angleDelta(), event->modifiers(),
                          QApplication::wheelScrollLines(), m_wheelScroll);
    });
    applyView();
}

void Form2::forwardPageMouse(QEvent* event)
{
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    const double dpi = m_view.screenDpi();
    const auto x = static_cast<Single>(Twips::fromPixels(at.x(), dpi));
    const auto y = static_cast<Single>(Twips::fromPixels(at.y(), dpi));
    const int shift = shiftCode(mouse->modifiers());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_view.Picture1_MouseDown(buttonCode(mouse->button()), shift, x, y);
        break;
    case QEvent::MouseMove:
        m_view.Picture1_MouseMove(buttonCode(mouse->buttons()), shift, x, y);
        break;
    default:
        m_view.Picture1_MouseUp(buttonCode(mouse->button()), shift, x, y);
        break;
    }
    applyView();
}

void Form2::scrollBarMoved(ScrollBarModel& bar, int value)
{
    bar.setValue(std::clamp(value, 0, int(bar.maximum())));
    applyView();
}

} // namespace lumarel
