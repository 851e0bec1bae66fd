#include "preview/LivePage.h"

#include "app/AppServices.h"
#include "app/Twips.h"
#include "app/WindowLook.h"
#include "preview/PageKeys.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QLabel>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTime>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace lumarel {

namespace {

// Room for the built-in designs' pages on either paper: Letter's width, A4's height.
constexpr TwipsSize kPageRoom{12240, 16838};

QSize pagePixels(TwipsSize page, Single zoom)
{
    return {Twips::toPixels(page.width * zoom), Twips::toPixels(page.height * zoom)};
}

} // namespace

std::pair<QPoint, QPoint> placedSideBySide(const QRect& window, QSize page, const QRect& area)
{
    QRect frame(QPoint(window.right() + 1, window.top()), page);
    if (frame.right() <= area.right())
        return {window.topLeft(), placedInside(frame, area)};
    frame.moveRight(window.left() - 1);
    if (frame.left() >= area.left())
        return {window.topLeft(), placedInside(frame, area)};
    // The pair side by side, the window moved left only as far as the page needs.
    const QRect moved =
        window.translated(std::min(0, area.right() - page.width() - window.right()), 0);
    const QPoint windowAt = placedInside(moved, area);
    frame.moveTopLeft(QPoint(windowAt.x() + window.width(), window.top()));
    return {windowAt, placedInside(frame, area)};
}

LivePage::LivePage(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("LivePage"));
    announceAsWindow(this);
    setWindowTitle(tr("%1: Live Page").arg(kProductName));
    setWindowIcon(appIcon());
    setAccessibleName(tr("%1: live page").arg(kProductName));
    // Turned on while typing: the details window keeps the keyboard.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_area = new QScrollArea(this);
    m_area->setObjectName(QStringLiteral("LivePageArea"));
    m_area->setAlignment(Qt::AlignCenter);
    m_area->setFocusPolicy(Qt::StrongFocus);
    m_area->setBackgroundRole(QPalette::Dark);
    m_area->viewport()->installEventFilter(this);
    m_page = new QLabel;
    m_page->setObjectName(QStringLiteral("LivePagePicture"));
    fillBackground(m_page, Qt::white);
    m_area->setWidget(m_page);

    m_notices = new QLabel(this);
    m_notices->setObjectName(QStringLiteral("LivePageNotice"));
    m_notices->setWordWrap(true);
    m_notices->setMargin(4);
    m_notices->setFrameShape(QFrame::Box);
    // As the preview's notice: the tool-tip colours stand out in any colour scheme.
    m_notices->setBackgroundRole(QPalette::ToolTipBase);
    m_notices->setForegroundRole(QPalette::ToolTipText);
    m_notices->setAutoFillBackground(true);
    m_notices->hide();
    m_line = new QLabel(this);
    m_line->setObjectName(QStringLiteral("LivePageLine"));
    m_line->setWordWrap(true);
    m_line->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_area, 1);
    layout->addWidget(m_notices);
    layout->addWidget(m_line);

    const auto shortcut = [this](QList<QKeySequence> keys, void (LivePage::*command)()) {
        auto* keysFor = new QShortcut(this);
        keysFor->setKeys(keys);
        connect(keysFor, &QShortcut::activated, this, command);
    };
    // As in the preview: Ctrl+= too, for keyboards where + needs Shift.
    shortcut({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, &LivePage::zoomIn);
    shortcut({QKeySequence::ZoomOut}, &LivePage::zoomOut);

    m_line->setText(tr("The page is being made\u2026"));
    // Room for a page at the first zoom, and for the bar that scrolls it down when notices take
    // some of its height; no more than that asks of the screen.
    ensurePolished(); // the style gives the area its frame
    const int frame = 2 * m_area->frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_area);
    m_area->setMinimumSize(pagePixels(kPageRoom, m_zoom) + QSize(frame + bar, frame));
    adjustSize();
    m_area->setMinimumSize(QSize(100, 100));
    describe();
}

void LivePage::showPage(const QImage& picture, const QStringList& notices, const QString& line)
{
    m_picture = picture;
    m_updated = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    m_notices->setText(notices.join(QLatin1Char('\n')));
    m_notices->setVisible(!notices.isEmpty());
    m_line->setText(line.isEmpty() ? tr("Updated %1").arg(m_updated) : line);
    draw();
    emit shown();
}

void LivePage::showFailure(const QString& line)
{
    m_line->setText(line);
    describe();
    emit shown();
}

QSize LivePage::frameSize() const
{
    // Before it is first shown the window system's frame is unknown: the client is a fair guess.
    return isVisible() ? frameGeometry().size() : size();
}

void LivePage::zoomIn()
{
    setZoom(m_zoom + kZoomStep);
}

void LivePage::zoomOut()
{
    setZoom(m_zoom - kZoomStep);
}

QString LivePage::noticeText() const
{
    return m_notices->isVisible() ? m_notices->text() : QString();
}

QString LivePage::lineText() const
{
    return m_line->text();
}

void LivePage::setZoom(Single zoom)
{
    if (!zoomAllowed(zoom))
        return;
    m_zoom = zoom;
    draw();
}

void LivePage::draw()
{
    if (!m_picture.isNull()) {
        const TwipsSize natural = PageView::naturalSize(m_picture);
        m_drawn = pictureAt(m_picture, {natural.width * m_zoom, natural.height * m_zoom},
                            Twips::screenDpi());
        m_page->setPixmap(QPixmap::fromImage(m_drawn));
        m_page->resize(m_drawn.size());
    }
    describe();
}

void LivePage::describe()
{
    const QString name = m_updated.isEmpty() ? tr("Flyer page, not made yet")
                                             : tr("Flyer page, updated %1").arg(m_updated);
    const QString description =
        tr("Zoom %1 %. Arrow and Page keys scroll the page, Ctrl+Plus and Ctrl+Minus zoom. %2")
            .arg(qRound(m_zoom * 100.0))
            .arg(m_line->text());
    for (QWidget* page : {static_cast<QWidget*>(m_area), static_cast<QWidget*>(m_page)}) {
        if (page->accessibleName() != name) {
            page->setAccessibleName(name);
            QAccessibleEvent changed(page, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
        page->setAccessibleDescription(description);
    }
}

void LivePage::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}

bool LivePage::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl with the wheel zooms, a notch a step, as in the preview; the wheel alone scrolls.
    if (watched == m_area->viewport() && event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            for (int steps = wheelZoomSteps(wheel->angleDelta().y(), m_wheelZoom); steps != 0;
                 steps += steps > 0 ? -1 : 1)
                steps > 0 ? zoomIn() : zoomOut();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace lumarel
