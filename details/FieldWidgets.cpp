#include "details/FieldWidgets.h"

#include "details/MultiLineBox.h"
#include "details/OneLineBox.h"

#include <QDateTimeEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QValidator>

#include <algorithm>
#include <limits>
#include <utility>

namespace lumarel {

namespace {

// Tab leaves a picker for the next field, as it leaves every other field; the arrow keys move
// between the picker's sections.
class Picker : public QDateTimeEdit
{
public:
    using QDateTimeEdit::QDateTimeEdit;

protected:
    bool focusNextPrevChild(bool next) override
    {
        if (m_movingBetweenSections)
            return QDateTimeEdit::focusNextPrevChild(next);
        return QWidget::focusNextPrevChild(next);
    }

    // F4 and Alt+Down open the calendar, as a press on the drop-down arrow does.
    void keyPressEvent(QKeyEvent* event) override
    {
        // A date typed whole, "05-Mar-2027" or "05.03.2027": any separator goes on to the next
        // section, as do Ctrl+Left and Ctrl+Right; only Tab and Shift+Tab leave the picker.
        const QString typed = event->text();
        // A section that typing filled moves on by itself; the separator after it is then
        // already passed.
        if (typed.size() == 1 && !typed[0].isLetterOrNumber() && typed[0].isPrint() &&
            !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
            if (!std::exchange(m_movedOnByTyping, false) &&
                currentSectionIndex() + 1 < sectionCount())
                QDateTimeEdit::focusNextPrevChild(true);
            event->accept();
            return;
        }
        const int sectionBefore = currentSectionIndex();
        const bool opens =
            calendarPopup() &&
            ((event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) ||
             (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier));
        if (!opens) {
            m_movingBetweenSections =
                event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab;
            QDateTimeEdit::keyPressEvent(event);
            m_movingBetweenSections = false;
            m_movedOnByTyping = !typed.isEmpty() && typed[0].isLetterOrNumber() &&
                                currentSectionIndex() > sectionBefore;
            return;
        }
        QStyleOptionComboBox option;
        option.initFrom(this);
        option.editable = true;
        option.subControls = QStyle::SC_All;
        const QPoint arrow =
            style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this)
                .center();
        QMouseEvent press(QEvent::MouseButtonPress, arrow, mapToGlobal(arrow), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        mousePressEvent(&press);
    }

private:
    bool m_movingBetweenSections = false;
    bool m_movedOnByTyping = false;
};

// At a fractional scale (1.5) a multi-line box's viewport and scroll bar round outwards over
// the box's frame and hide its bottom and right lines; this draws the frame again above them.
class FrameOverlay : public QWidget
{
public:
    explicit FrameOverlay(QFrame* box) : QWidget(box), m_box(box)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        box->installEventFilter(this);
        setGeometry(box->rect());
        raise();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The box lays its scroll bar out, and raises it, when it is shown or resized.
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
            setGeometry(m_box->rect());
            raise();
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override
    {
        QStyleOptionFrame option;
        option.initFrom(m_box);
        option.rect = m_box->frameRect();
        option.frameShape = m_box->frameShape();
        option.lineWidth = m_box->lineWidth();
        option.midLineWidth = m_box->midLineWidth();
        option.state |=
            m_box->frameShadow() == QFrame::Sunken ? QStyle::State_Sunken : QStyle::State_Raised;
        QPainter painter(this);
        style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, m_box);
    }

private:
    QFrame* m_box;
};

// A single-line box shows line breaks as blanks; pasted or dropped text with line breaks is
// held the same way, so that what is stored is what the box shows.
class SingleLineValidator : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override
    {
        if (hasLineBreak(input)) {
            position = int(singleLineText(input.left(position)).size());
            input = singleLineText(input);
        }
        return Acceptable;
    }
};

// A frame as the original platform draws one: an etched box with the caption set into its top
// line, over the frame's own background (the style's tinted panel would not be white).
class Frame : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const QRect box = rect().adjusted(0, metrics.height() / 2, -1, -1);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(box.adjusted(1, 1, 0, 0));
        const QRect caption(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(caption, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(caption, Qt::AlignCenter, title());
    }
};

} // namespace

// A label with room for one line only would wrap a caption that is a little too wide for it
// into a line nobody sees; it grows to fit instead, short of the input beside it.
QRect labelGeometry(const QLabel& label, QRect geometry, int inputLeft)
{
    const QFontMetrics metrics(label.font());
    if (geometry.height() >= 2 * metrics.height())
        return geometry;
    const int needed = metrics.horizontalAdvance(label.text()) + 1;
    const int room = inputLeft - geometry.left() - metrics.averageCharWidth();
    geometry.setWidth(std::clamp(needed, geometry.width(), std::max(room, geometry.width())));
    return geometry;
}

QGroupBox* makeFrame(const QString& title, QWidget* parent)
{
    return new Frame(title, parent);
}

QWidget* makeFieldInput(const FieldSpec& field, QWidget* frame)
{
    const QDateTime earliest(QDate(1601, 1, 1), QTime(0, 0));
    const QDateTime latest(QDate(9999, 12, 31), QTime(23, 59, 59, 999));
    switch (field.kind) {
    case FieldKind::DatePicker:
    case FieldKind::TimePicker: {
        const bool date = field.kind == FieldKind::DatePicker;
        auto* picker = new Picker(pickerValue(field, QString()), frame);
        picker->setDisplayFormat(date ? pickerDateFormat(picker->locale())
                                      : timeOfDayFormat(picker->locale()));
        // After the format: a format without a date pins the range to today, and a time
        // stored on an earlier day would no longer fit.
        picker->setDateTimeRange(earliest, latest);
        picker->setCalendarPopup(date);
        return picker;
    }
    case FieldKind::SingleLine: {
        auto* line = new OneLineBox(frame);
        line->setMaxLength(std::numeric_limits<int>::max());
        line->setValidator(new SingleLineValidator(line));
        return line;
    }
    case FieldKind::MultiLine: {
        auto* box = new MultiLineBox(frame);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setTabChangesFocus(true);
        new FrameOverlay(box);
        return box;
    }
    }
    return nullptr;
}

} // namespace lumarel
