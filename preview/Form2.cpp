#include "preview/Form2.h"

#include "app/AppServices.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/ProgramEnd.h"
#include "app/StepTrap.h"
#include "app/Twips.h"
#include "app/WindowLook.h"
#include "flyer/DocumentExport.h"
#include "flyer/PagePrint.h"
#include "flyer/ReadyOffice.h"
#include "office/OfficeEngine.h"
#include "preview/Form2Layout.h"
#include "preview/PageKeys.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>

namespace lumarel {

namespace {

// The viewport's sunken border; the page is placed inside it.
constexpr int kViewportBorderPixels = 2;

TwipsSize viewportOuter(const TwipsRect& viewport)
{
    return {static_cast<Single>(viewport.width), static_cast<Single>(viewport.height)};
}

TwipsSize viewportInner(const TwipsRect& viewport, double dpi)
{
    const double border = 2 * Twips::fromPixels(kViewportBorderPixels, dpi);
    return {static_cast<Single>(viewport.width - border),
            static_cast<Single>(viewport.height - border)};
}

// Button and modifier codes as the mouse handlers know them.
int buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_pointer(this), m_layout(form2Layout(1e9, 1e9)),
      m_view(viewportOuter(m_layout.viewport), viewportInner(m_layout.viewport, Twips::screenDpi()),
             {float(m_layout.page.width), float(m_layout.page.height)}, Twips::screenDpi())
{
    setObjectName(QStringLiteral("Form2"));
    announceAsWindow(this);
    setFont(arialBold(kWindowFontPoints));
    paintDesignWhite(this);
    setMouseTracking(true);
    makeFixedWindow(this, Twips::toPixels(m_layout.client).size());
    createControls();
    m_view.setPointerReset([this] { m_pointer.set(PointerSetting::Normal); });
    Form_Load();

    fitToScreen();
    centreOnScreen(this);
}

void Form2::fitToScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const double dpi = m_view.screenDpi();
    // The window system's frame is known once the window has been shown; before, none is.
    const QSize decoration = frameGeometry().size() - size();
    const QSize room = screen->availableGeometry().size() - decoration;
    m_layout =
        form2Layout(Twips::fromPixels(room.width(), dpi), Twips::fromPixels(room.height(), dpi));
    m_view.setViewport(viewportOuter(m_layout.viewport), viewportInner(m_layout.viewport, dpi));

    setFixedSize(Twips::toPixels(m_layout.client, dpi).size());
    for (auto [widget, area] : {std::pair<QWidget*, TwipsRect>{HScroll1, m_layout.hScroll},
                                {VScroll1, m_layout.vScroll},
                                {Picture2, m_layout.viewport},
                                {Frame1, m_layout.frame},
                                {PushButton1, m_layout.zoomIn},
                                {PushButton2, m_layout.zoomOut},
                                {PushButton6, m_layout.save},
                                {PushButton8, m_layout.back}})
        widget->setGeometry(Twips::toPixels(area, dpi));
    m_viewportInside->setGeometry(Picture2->contentsRect());
    if (m_pageNotice)
        m_pageNotice->setGeometry(Twips::toPixels(pageNoticeArea(m_layout.viewport), dpi));
}

void Form2::createControls()
{
    // Created in tab order.
    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    for (auto [bar, name, area] : {std::tuple{HScroll1, "HScroll1", m_layout.hScroll},
                                   std::tuple{VScroll1, "VScroll1", m_layout.vScroll}}) {
        bar->setObjectName(QLatin1String(name));
        bar->setGeometry(Twips::toPixels(area));
        bar->setRange(0, 0);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // The page follows the bar only when the thumb is released.
        bar->setTracking(false);
        bar->setAttribute(Qt::WA_NoMousePropagation);
    }
    connect(HScroll1, &QScrollBar::valueChanged, this,
            [this](int value) { scrollBarMoved(m_view.HScroll1, value); });
    connect(VScroll1, &QScrollBar::valueChanged, this,
            [this](int value) { scrollBarMoved(m_view.VScroll1, value); });

    Picture2 = new QFrame(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture2->setLineWidth(kViewportBorderPixels);
    Picture2->setGeometry(Twips::toPixels(m_layout.viewport));
    Picture2->setAttribute(Qt::WA_NoMousePropagation);
    paintDesignWhite(Picture2);
    // The page lives inside the border and is clipped there.
    m_viewportInside = new QWidget(Picture2);
    m_viewportInside->setGeometry(Picture2->contentsRect());
    paintDesignWhite(m_viewportInside);
    // The page area takes the focus, so the keys can scroll it.
    Picture2->setFocusPolicy(Qt::StrongFocus);
    Picture2->setAccessibleName(QStringLiteral("Page area"));
    Picture2->installEventFilter(this);
    m_viewportInside->installEventFilter(this);

    Picture1 = new QLabel(m_viewportInside);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setGeometry(Twips::toPixels(m_layout.page));
    Picture1->setAttribute(Qt::WA_NoMousePropagation);
    fillBackground(Picture1, Qt::white);
    Picture1->installEventFilter(this);
    Picture1->setAccessibleDescription(
        QStringLiteral("The flyer's page. Arrow and Page keys scroll it, Ctrl+Plus and "
                       "Ctrl+Minus zoom."));

    Frame1 = new QGroupBox(QStringLiteral("Zoom:"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(Twips::toPixels(m_layout.frame));
    Frame1->setMouseTracking(true);
    Frame1->installEventFilter(this);

    Zoom_Ori = new QLabel(this);
    Zoom_Ori->setObjectName(QStringLiteral("Zoom_Ori"));
    Zoom_Ori->setGeometry(Twips::toPixels(m_layout.zoomSource));
    Zoom_Ori->hide();

    const auto button = [this](QWidget* parent, const char* name, const QString& caption,
                               const TwipsRect& area, void (Form2::*click)()) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(Twips::toPixels(area));
        stylePushButton(b);
        b->setMouseTracking(true);
        b->setAttribute(Qt::WA_NoMousePropagation);
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, click);
        return b;
    };
    PushButton1 = button(Frame1, "PushButton1", QStringLiteral("Zoom In"), m_layout.zoomIn,
                         &Form2::PushButton1_Click);
    PushButton2 = button(Frame1, "PushButton2", QStringLiteral("Zoom Out"), m_layout.zoomOut,
                         &Form2::PushButton2_Click);
    PushButton6 = button(this, "PushButton6", QStringLiteral("Save Results To Word File"),
                         m_layout.save, &Form2::PushButton6_Click);
    PushButton8 = button(this, "PushButton8", QStringLiteral("< Back"), m_layout.back,
                         &Form2::PushButton8_Click);

    // Both commands work anywhere in the window and from the page's own menu.
    m_printAction = new QAction(QStringLiteral("Print\u2026"), this);
    m_printAction->setShortcut(QKeySequence::Print);
    connect(m_printAction, &QAction::triggered, this, &Form2::mnuPrint_Click);
    m_saveAction = new QAction(QStringLiteral("Save As\u2026"), this);
    m_saveAction->setShortcut(QKeySequence::Save);
    connect(m_saveAction, &QAction::triggered, this, &Form2::PushButton6_Click);
    addActions({m_printAction, m_saveAction});

    // Keys for the buttons, which keep their own behaviour: Ctrl++ (Ctrl+= too, for keyboards
    // where + needs Shift) and Ctrl+- zoom, Escape goes back.
    const auto shortcut = [this](QList<QKeySequence> keys, void (Form2::*command)()) {
        auto* keysFor = new QShortcut(this);
        keysFor->setKeys(keys);
        connect(keysFor, &QShortcut::activated, this, command);
    };
    shortcut({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)},
             &Form2::PushButton1_Click);
    shortcut({QKeySequence::ZoomOut}, &Form2::PushButton2_Click);
    shortcut({QKeySequence(Qt::Key_Escape)}, &Form2::PushButton8_Click);
    m_pageMenu = new QMenu(this);
    m_pageMenu->addActions({m_printAction, m_saveAction});
    Picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Picture1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_pageMenu->popup(Picture1->mapToGlobal(at)); });
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

void Form2::setPageNotice(const QString& text)
{
    if (!m_pageNotice) {
        m_pageNotice = new QLabel(this);
        m_pageNotice->setObjectName(QStringLiteral("PageNotice"));
        m_pageNotice->setGeometry(
            Twips::toPixels(pageNoticeArea(m_layout.viewport), m_view.screenDpi()));
        m_pageNotice->setWordWrap(true);
        m_pageNotice->setMargin(4);
        m_pageNotice->setFrameShape(QFrame::Box);
        // The palette's tool-tip colours stand out from the page in any colour scheme.
        m_pageNotice->setBackgroundRole(QPalette::ToolTipBase);
        m_pageNotice->setForegroundRole(QPalette::ToolTipText);
        m_pageNotice->setAutoFillBackground(true);
    }
    m_pageNotice->setText(text);
    m_pageNotice->setAccessibleName(text);
    m_pageNotice->setVisible(!text.isEmpty());
    m_pageNotice->raise();
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

template <class Work> void Form2::withOffice(Work&& work)
{
    const int pointer = m_pointer.value();
    m_pointer.set(PointerSetting::Hourglass);
    const auto restore = qScopeGuard([&] { m_pointer.set(pointer); });
    if (m_office) {
        work(*m_office);
        return;
    }
    // The program's ready office; one that failed in this use is replaced in the background.
    bool failed = true;
    const auto giveBack = qScopeGuard([&] { ReadyOffice::giveBack(failed); });
    work(ReadyOffice::take());
    failed = false;
}

void Form2::PushButton6_Click()
{
    StepTrap trap(locationText("Form2", "PushButton6_Click"));
    // The dialog asks no overwrite question of its own and adds no extension; a name without
    // one gets the chosen filter's from saveTargetFor.
    QString chosen;
    QString filter;
    trap.step(112, [&] {
        chosen = Dialogs::saveFileName(QStringLiteral("Save File"), saveDialogFilter(), &filter);
    });
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
                                          QStringLiteral("Are you sure you wish to overwrite ") +
                                              chosen + QStringLiteral(" ?"),
                                          MessageIcon::None, MessageButtons::YesNo);
            });
        } else {
            trap.step(126, [&] { answer = Answer::Yes; });
        }
        if (trap.test(128, [&] { return answer == Answer::Yes; })) {
            // Every format is written beside the old file and takes its place only when
            // complete, so a failed save never loses the file it was to replace.
            written = trap.step(130, [&] {
                if (format == SaveFormat::Word97)
                    copyDocument(mWordFile, chosen);
                else
                    withOffice([&](OfficeEngine& office) {
                        exportDocument(office, mWordFile, chosen, format);
                    });
            });
        }
    }
    if (written)
        trap.step(132, [&] {
            Dialogs::message(QString(), QStringLiteral("Done."), MessageIcon::None,
                             MessageButtons::Ok);
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
            withOffice([&](OfficeEngine& office) { printFirstPage(office, mWordFile, printer); });
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

void Form2::applyView()
{
    const double dpi = m_view.screenDpi();
    for (auto [widget, model] :
         {std::pair{HScroll1, &m_view.HScroll1}, std::pair{VScroll1, &m_view.VScroll1}}) {
        const QSignalBlocker blocker(widget);
        widget->setMaximum(model->maximum());
        widget->setValue(model->value());
        widget->setEnabled(model->enabled());
    }

    const TwipsSize page = m_view.pageSize();
    Picture1->setGeometry(Twips::toPixels(m_view.pageLeft(), dpi),
                          Twips::toPixels(m_view.pageTop(), dpi), Twips::toPixels(page.width, dpi),
                          Twips::toPixels(page.height, dpi));
    if (m_shownGeneration != m_view.pageImageGeneration()) {
        m_shownGeneration = m_view.pageImageGeneration();
        if (m_view.pageImage().isNull())
            Picture1->clear();
        else
            Picture1->setPixmap(QPixmap::fromImage(m_view.pageImage()));
    }

    const QString pageName = pageAccessibleName(m_view);
    if (Picture1->accessibleName() != pageName) {
        Picture1->setAccessibleName(pageName);
        QAccessibleEvent changed(Picture1, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }

    const TwipsSize source = m_view.zoomSourceSize();
    if (!m_view.zoomSource().isNull())
        Zoom_Ori->resize(Twips::toPixels(source.width, dpi), Twips::toPixels(source.height, dpi));
}

} // namespace lumarel
