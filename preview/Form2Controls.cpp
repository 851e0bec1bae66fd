#include "preview/Form2.h"

#include "app/Twips.h"
#include "app/WindowKeys.h"
#include "app/WindowLook.h"
#include "preview/PageKeys.h"

#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>

// The preview window's controls: made and placed by the layout, and showing the view's state.
namespace lumarel {

namespace {

// The page's description, on the page and on the area around it that takes the focus.
QString pageKeysText()
{
    return Form2::tr(
        "The flyer's page. Arrow and Page keys scroll it, Ctrl+Plus and Ctrl+Minus zoom.");
}

} // namespace

void Form2::fitToScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen || isMaximized() || isFullScreen())
        return;
    const double dpi = m_view.screenDpi();
    // The window system's frame is known once the window has been shown; before, none is.
    const QSize decoration = frameGeometry().size() - size();
    const QSize room = (screen->availableGeometry().size() - decoration).boundedTo(size());
    layOut(
        form2Layout(Twips::fromPixels(room.width(), dpi), Twips::fromPixels(room.height(), dpi)));
    resize(Twips::toPixels(m_layout.client, dpi).size());
}

void Form2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const double dpi = m_view.screenDpi();
    layOut(form2Layout(Twips::fromPixels(width(), dpi), Twips::fromPixels(height(), dpi)));
    applyView();
}

void Form2::layOut(const Form2Layout& layout)
{
    const double dpi = m_view.screenDpi();
    m_layout = layout;
    const TwipsSize outer = viewportOuter(m_layout.viewport);
    const TwipsSize inner = viewportInner(m_layout.viewport, dpi);
    // Before the first display sets the view up, the view only learns the new size.
    if (mFirstActivate)
        m_view.setViewport(outer, inner);
    else if (outer.width != m_view.viewportOuter().width ||
             outer.height != m_view.viewportOuter().height)
        m_view.viewportResized(outer, inner);

    for (auto [widget, area] : {std::pair<QWidget*, TwipsRect>{HScroll1, m_layout.hScroll},
                                {VScroll1, m_layout.vScroll},
                                {Picture2, m_layout.viewport},
                                {Frame1, m_layout.frame},
                                {PushButton1, m_layout.zoomIn},
                                {PushButton2, m_layout.zoomOut},
                                {PushButton6, m_layout.save},
                                {PushButton8, m_layout.back}})
        if (widget)
            widget->setGeometry(Twips::toPixels(area, dpi));
    if (m_viewportInside)
        m_viewportInside->setGeometry(Picture2->contentsRect());
    if (m_pageNotice)
        placePageNotice();
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
    HScroll1->setAccessibleName(QStringLiteral("Scroll the page left and right"));
    VScroll1->setAccessibleName(QStringLiteral("Scroll the page up and down"));
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
    // The page area takes the focus, so it carries the page's name and its keys.
    Picture2->setAccessibleName(tr("Page area"));
    Picture2->setAccessibleDescription(pageKeysText());
    Picture2->installEventFilter(this);
    m_viewportInside->installEventFilter(this);

    Picture1 = new QLabel(m_viewportInside);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setGeometry(Twips::toPixels(m_layout.page));
    Picture1->setAttribute(Qt::WA_NoMousePropagation);
    fillBackground(Picture1, Qt::white);
    Picture1->installEventFilter(this);
    Picture1->setAccessibleDescription(pageKeysText());

    Frame1 = new QGroupBox(tr("Zoom:"), this);
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
    PushButton1 =
        button(Frame1, "PushButton1", tr("Zoom &In"), m_layout.zoomIn, &Form2::PushButton1_Click);
    PushButton2 =
        button(Frame1, "PushButton2", tr("Zoom &Out"), m_layout.zoomOut, &Form2::PushButton2_Click);
    PushButton6 = button(this, "PushButton6", tr("&Save Results To Word File"), m_layout.save,
                         &Form2::PushButton6_Click);
    PushButton8 =
        button(this, "PushButton8", tr("< &Back"), m_layout.back, &Form2::PushButton8_Click);
    // Read out as the word, not as "less than Back".
    PushButton8->setAccessibleName(tr("Back"));

    // Both commands work anywhere in the window and from the page's own menu.
    m_printAction = new QAction(tr("&Print\u2026"), this);
    m_printAction->setShortcut(QKeySequence::Print);
    connect(m_printAction, &QAction::triggered, this, &Form2::mnuPrint_Click);
    m_saveAction = new QAction(tr("Save &As\u2026"), this);
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
    // The Menu key and Shift+F10 open the page's menu wherever the focus is in the window.
    for (QWidget* owner : {static_cast<QWidget*>(this), static_cast<QWidget*>(Picture2)}) {
        owner->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(owner, &QWidget::customContextMenuRequested, this,
                [this, owner](const QPoint& at) { m_pageMenu->popup(owner->mapToGlobal(at)); });
    }
    addWindowKeys(this);
}

void Form2::setPageNotice(const QString& text)
{
    if (!m_pageNotice) {
        m_pageNotice = new QLabel(this);
        m_pageNotice->setObjectName(QStringLiteral("PageNotice"));
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
    placePageNotice();
    m_pageNotice->setVisible(!text.isEmpty());
    m_pageNotice->raise();
}

void Form2::placePageNotice()
{
    // Tall enough for every line of its text, up to half the view.
    const double dpi = m_view.screenDpi();
    QRect area = Twips::toPixels(pageNoticeArea(m_layout.viewport), dpi);
    const int mostHeight = Twips::toPixels(m_layout.viewport, dpi).height() / 2;
    area.setHeight(std::clamp(m_pageNotice->heightForWidth(area.width()), area.height(),
                              std::max(area.height(), mostHeight)));
    m_pageNotice->setGeometry(area);
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
    for (QWidget* page : {static_cast<QWidget*>(Picture1), static_cast<QWidget*>(Picture2)}) {
        if (page->accessibleName() == pageName)
            continue;
        page->setAccessibleName(pageName);
        QAccessibleEvent changed(page, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }

    const TwipsSize source = m_view.zoomSourceSize();
    if (!m_view.zoomSource().isNull())
        Zoom_Ori->resize(Twips::toPixels(source.width, dpi), Twips::toPixels(source.height, dpi));
}

} // namespace lumarel
