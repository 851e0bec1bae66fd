#include "app/WindowLook.h"

#include "app/AppServices.h"
#include "app/Failure.h"

#include <QAbstractSpinBox>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

namespace lumarel {

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void fillBackground(QWidget* widget, const QColor& colour)
{
    setColour(widget, QPalette::Window, colour);
    widget->setAutoFillBackground(true);
}

bool darkColourScheme()
{
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::WindowText).lightness() >
           palette.color(QPalette::Window).lightness();
}

void paintDesignWhite(QWidget* widget, QPalette::ColorRole role)
{
    if (!darkColourScheme())
        setColour(widget, role, Qt::white);
    if (role == QPalette::Window)
        widget->setAutoFillBackground(true);
}

void stylePushButton(QPushButton* button)
{
    button->setFont(arialBold(kButtonFontPoints));
    paintDesignWhite(button, QPalette::Button);
    setColour(button, QPalette::ButtonText, QGuiApplication::palette().color(QPalette::ButtonText));
}

void makeFixedWindow(QWidget* window, const QSize& clientSize)
{
    window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window->setFixedSize(clientSize);
}

QSize scrolledClientSize(QSize design, QSize room, int barExtent)
{
    // A bar for one direction takes room from the other, which may then need its own bar.
    bool across = false;
    bool down = false;
    for (int pass = 0; pass < 2; ++pass) {
        across = design.width() > room.width() - (down ? barExtent : 0);
        down = design.height() > room.height() - (across ? barExtent : 0);
    }
    const QSize wanted(design.width() + (down ? barExtent : 0),
                       design.height() + (across ? barExtent : 0));
    return wanted.boundedTo(room);
}

namespace {

// The role a widget reports to a screen reader in place of its own.
constexpr char kRoleProperty[] = "lumarelAccessibleRole";

// A date or time picker. Qt's own spin box interface reports its value as a number, which for
// a date or a time is 0. This one has no value as a number; it reads out the text the picker
// shows, from its line edit.
class PickerInterface : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit PickerInterface(QAbstractSpinBox* picker)
        : QAccessibleWidget(picker, QAccessible::SpinBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<QAbstractSpinBox*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && edit()->hasSelectedText()) {
            *start = edit()->selectionStart();
            *end = *start + edit()->selectionLength();
        }
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { edit()->deselect(); }
    void setSelection(int, int start, int end) override
    {
        edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override
    {
        return edit()->text().mid(start, end - start);
    }
    int characterCount() const override { return int(edit()->text().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint& point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }

private:
    // Qt gives the line edit inside a spin box no interface of its own.
    QLineEdit* edit() const { return widget()->findChild<QLineEdit*>(); }
};

QAccessibleInterface* ownInterface(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    const QVariant role = widget->property(kRoleProperty);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Role(role.toInt()));
}

void useOwnInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(ownInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

void announceAsWindow(QWidget* window)
{
    useOwnInterfaces();
    window->setProperty(kRoleProperty, int(QAccessible::Window));
}

void readPickerAsText(QAbstractSpinBox* picker)
{
    // Qt's own factory answers for its spin boxes before any installed one would: the
    // interface is put in place for the picker, and Qt drops it with the picker.
    QAccessible::registerAccessibleInterface(new PickerInterface(picker));
}

void announce(QWidget* window, const QString& text)
{
    // A screen reader speaks an alert as it appears; the alert takes no room in the window. A
    // plain widget, which Qt's own factory leaves to the program's.
    auto* alert =
        window->findChild<QWidget*>(QStringLiteral("Announcement"), Qt::FindDirectChildrenOnly);
    if (!alert) {
        useOwnInterfaces();
        alert = new QWidget(window);
        alert->setObjectName(QStringLiteral("Announcement"));
        alert->setProperty(kRoleProperty, int(QAccessible::AlertMessage));
        alert->setGeometry(0, 0, 0, 0);
    }
    alert->hide();
    alert->setAccessibleName(text);
    alert->show();
}

QPoint placedInside(const QRect& frame, const QRect& area)
{
    const int left =
        std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    return {left, top};
}

namespace {

QRect availableArea(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void centreOnScreen(QWidget* window)
{
    const QRect area = availableArea(window);
    if (area.isEmpty())
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(placedInside(frame, area));
}

void fitIntoScreen(QWidget* window)
{
    const QSize room =
        availableArea(window).size() - (window->frameGeometry().size() - window->size());
    if (room.isEmpty())
        return;
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(window->size().boundedTo(room).expandedTo(window->minimumSizeHint()));
    placeOnScreen(window);
}

void placeOnScreen(QWidget* window)
{
    const QRect area = availableArea(window);
    const QRect frame = window->frameGeometry();
    if (!area.isEmpty() && !area.contains(frame))
        window->move(placedInside(frame, area));
}

namespace {

// The button face comes with the text colour drawn on it, so a light face under dark text (or
// the other way round) stays readable.
void paintButtonFace(QWidget* widget)
{
    const QPalette system = QApplication::palette();
    fillBackground(widget, system.color(QPalette::Button));
    setColour(widget, QPalette::WindowText, system.color(QPalette::ButtonText));
}

void paintButtonFaceOnChildren(QWidget* window, bool withPictureBoxes)
{
    paintButtonFace(window);
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const bool colourable = qobject_cast<QRadioButton*>(child) ||
                                qobject_cast<QCheckBox*>(child) ||
                                qobject_cast<QGroupBox*>(child) || qobject_cast<QLabel*>(child) ||
                                (withPictureBoxes && child->property("pictureBox").toBool());
        if (colourable)
            paintButtonFace(child);
    }
}

} // namespace

void UseSystemColors(QWidget* window)
{
    paintButtonFaceOnChildren(window, false);
}

void ApplySkin(QWidget* window)
{
    const QString skinPath = optionalFile(kSkinFile);
    if (!QFileInfo(skinPath).isFile())
        return;
    paintButtonFaceOnChildren(window, true);
    QFile skin(skinPath);
    if (!skin.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The skin file %1 could not be read: %2")
                          .arg(QDir::toNativeSeparators(skinPath), skin.errorString()));
    window->setStyleSheet(QString::fromUtf8(skin.readAll()));
}

} // namespace lumarel
