#include "details/Form1.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "app/ProgramEnd.h"
#include "app/SettingsStore.h"
#include "app/StepTrap.h"
#include "app/WindowLook.h"
#include "details/LineBlocks.h"
#include "details/MultiLineBox.h"
#include "details/OneLineBox.h"
#include "flyer/BookmarkTexts.h"
#include "flyer/DocumentClaim.h"
#include "flyer/EngineCheck.h"
#include "flyer/FlyerRun.h"
#include "flyer/FlyerTemplate.h"
#include "flyer/PageCapture.h"
#include "flyer/ReadyOffice.h"
#include "office/TempFolder.h"
#include "preview/Form2.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTimeEdit>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTextDocument>
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
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }

    // F4 and Alt+Down open the calendar, as a press on the drop-down arrow does.
    void keyPressEvent(QKeyEvent* event) override
    {
        const bool opens =
            calendarPopup() &&
            ((event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) ||
             (event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier));
        if (!opens) {
            QDateTimeEdit::keyPressEvent(event);
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

QDateTime today()
{
    return QDateTime(QDate::currentDate(), QTime(0, 0));
}

// Whole seconds, as the stored text keeps them.
QDateTime now()
{
    const QDateTime current = QDateTime::currentDateTime();
    const QTime time = current.time();
    return QDateTime(current.date(), QTime(time.hour(), time.minute(), time.second()));
}

} // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), m_pointer(this)
{
    setObjectName(QStringLiteral("Form1"));
    announceAsWindow(this);
    setFont(arialBold(kWindowFontPoints));
    paintDesignWhite(this);

    buildWidgets();

    // What the controls show before the restore is theirs, not the store's.
    for (const FieldSpec& field : eventFields())
        m_writer.hold(QLatin1String(field.name), fieldValue(field));
    for (const FieldSpec& field : eventFields()) {
        QWidget* widget = input(field);
        if (auto* picker = qobject_cast<QDateTimeEdit*>(widget))
            connect(picker, &QDateTimeEdit::dateTimeChanged, this,
                    [this, &field] { Field_Change(field); });
        else if (auto* line = qobject_cast<QLineEdit*>(widget))
            connect(line, &QLineEdit::textChanged, this, [this, &field] { Field_Change(field); });
        else if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
            connect(box, &QPlainTextEdit::textChanged, this,
                    [this, &field] { Field_Change(field); });
    }
}

Form1::~Form1() = default;

void Form1::buildWidgets()
{
    const double dpi = Twips::screenDpi();
    makeFixedWindow(this, QSize(Twips::toPixels(layout::kClientWidth, dpi),
                                Twips::toPixels(layout::kClientHeight, dpi)));
    watchHover(this, HoverRule::Normal);

    for (std::size_t i = 0; i < windowButtons().size(); ++i) {
        const ButtonSpec& buttonSpec = windowButtons()[i];
        auto* button = new QPushButton(QString::fromUtf8(buttonSpec.caption), this);
        button->setObjectName(QLatin1String(buttonSpec.name));
        stylePushButton(button);
        // Return and Enter press the focused button, as Space does.
        button->setAutoDefault(true);
        button->setGeometry(Twips::toPixels(buttonSpec.rect, dpi));
        watchHover(button, HoverRule::Hand);
        m_buttons[i] = button;
    }
    connect(m_buttons[0], &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(m_buttons[1], &QPushButton::clicked, this, &Form1::PushButton2_Click);
    connect(m_buttons[2], &QPushButton::clicked, this, &Form1::PushButton3_Click);

    m_undo = new QAction(QStringLiteral("Undo"), this);
    m_undo->setShortcut(QKeySequence::Undo);
    m_undo->setEnabled(false);
    connect(m_undo, &QAction::triggered, this, &Form1::undoReplace);

    m_frame = new Frame(QStringLiteral("Event details"), this);
    m_frame->setAutoFillBackground(true);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setProperty("index", 2);
    m_frame->setGeometry(Twips::toPixels(layout::kFrame, dpi));
    watchHover(m_frame, HoverRule::Normal);

    const QDateTime earliest(QDate(1601, 1, 1), QTime(0, 0));
    const QDateTime latest(QDate(9999, 12, 31), QTime(23, 59, 59, 999));
    for (std::size_t i = 0; i < eventFields().size(); ++i) {
        const FieldSpec& field = eventFields()[i];

        auto* label = new QLabel(QString::fromUtf8(field.caption), m_frame);
        label->setObjectName(QStringLiteral("Label4_%1").arg(field.labelIndex));
        label->setProperty("index", field.labelIndex);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setGeometry(labelGeometry(*label, Twips::toPixels(field.label, dpi),
                                         Twips::toPixels(field.input.left, dpi)));
        // Moving onto a label leaves the pointer as it was.
        label->setAttribute(Qt::WA_NoMousePropagation);
        m_labels[i] = label;

        QWidget* widget = nullptr;
        switch (field.kind) {
        case FieldKind::DatePicker:
        case FieldKind::TimePicker: {
            const bool date = field.kind == FieldKind::DatePicker;
            auto* picker = new Picker(date ? today() : now(), m_frame);
            picker->setDisplayFormat(date ? QStringLiteral("dd-MMM-yyyy")
                                          : timeOfDayFormat(picker->locale()));
            // After the format: a format without a date pins the range to today, and a time
            // stored on an earlier day would no longer fit.
            picker->setDateTimeRange(earliest, latest);
            picker->setCalendarPopup(date);
            widget = picker;
            break;
        }
        case FieldKind::SingleLine: {
            auto* line = new OneLineBox(m_frame);
            line->setMaxLength(std::numeric_limits<int>::max());
            line->setValidator(new SingleLineValidator(line));
            widget = line;
            break;
        }
        case FieldKind::MultiLine: {
            auto* box = new MultiLineBox(m_frame);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            box->setTabChangesFocus(true);
            new FrameOverlay(box);
            widget = box;
            break;
        }
        }
        widget->setObjectName(QLatin1String(field.name));
        widget->setGeometry(Twips::toPixels(field.input, dpi));
        paintDesignWhite(widget, QPalette::Base);
        watchHover(widget, HoverRule::Normal);
        // A screen reader names the input by its label's caption.
        label->setBuddy(widget);
        widget->setAccessibleName(label->text());
        m_inputs[i] = widget;
    }

    // The fields first, then the buttons, although the buttons stand above them.
    QWidget* previous = nullptr;
    for (QWidget* next : m_inputs) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }
    for (QWidget* next : m_buttons) {
        setTabOrder(previous, next);
        previous = next;
    }
    m_inputs[0]->setFocus();

    // The window's menu, on its background, the frame and the captions, which keep their
    // clicks to themselves.
    QList<QWidget*> menuOwners{this, m_frame};
    menuOwners.append(QList<QWidget*>(m_labels.begin(), m_labels.end()));
    for (QWidget* owner : menuOwners) {
        owner->addAction(m_undo);
        owner->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
}

void Form1::watchHover(QWidget* widget, HoverRule rule)
{
    // A move handled here must not reach the parent, whose rule would override this one.
    if (widget != this)
        widget->setAttribute(Qt::WA_NoMousePropagation);
    QList<QWidget*> parts = widget->findChildren<QWidget*>();
    parts.prepend(widget);
    for (QWidget* part : parts) {
        part->setMouseTracking(true);
        part->installEventFilter(this);
        m_hoverRules.insert(part, rule);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    // A text box takes Ctrl+Z for its own undo; with nothing of its own to undo, the window's
    // undo of the last replacement gets it.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo) && m_undo->isEnabled() &&
        !boxCanUndo(watched)) {
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::FocusIn)
        selectAllOnFocus(watched, static_cast<QFocusEvent*>(event)->reason());
    if (event->type() == QEvent::MouseMove) {
        switch (m_hoverRules.value(watched, HoverRule::None)) {
        case HoverRule::Normal:
            m_pointer.normalRule();
            break;
        case HoverRule::Hand:
            m_pointer.handRule();
            break;
        case HoverRule::None:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::selectAllOnFocus(QObject* watched, Qt::FocusReason reason)
{
    // Typing into a text box the keyboard moved to replaces its whole content. A click places
    // the cursor, and coming back to the window or from a popup keeps what the user left.
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
        reason != Qt::ShortcutFocusReason)
        return;
    if (auto* line = dynamic_cast<OneLineBox*>(watched); line && line->parentWidget() == m_frame)
        line->selectWhole();
    else if (auto* box = qobject_cast<QPlainTextEdit*>(watched);
             box && box->parentWidget() == m_frame)
        box->selectAll();
}

QWidget* Form1::input(const FieldSpec& field) const
{
    return m_inputs[static_cast<std::size_t>(&field - eventFields().data())];
}

QString Form1::fieldValue(const FieldSpec& field) const
{
    QWidget* widget = input(field);
    if (auto* picker = qobject_cast<QDateTimeEdit*>(widget))
        return SettingsStore::dateToText(picker->dateTime());
    if (auto* line = dynamic_cast<OneLineBox*>(widget))
        return line->value();
    return documentRecordText(*static_cast<QPlainTextEdit*>(widget)->document());
}

void Form1::setFieldText(const FieldSpec& field, const QString& text)
{
    if (fieldValue(field) == text)
        return;
    QWidget* widget = input(field);
    if (auto* line = dynamic_cast<OneLineBox*>(widget)) {
        line->setValue(text);
        return;
    }
    auto* box = static_cast<QPlainTextEdit*>(widget);
    // A pasted blob of a word takes minutes to lay out at word ends; it is broken anywhere.
    constexpr qsizetype kLongestWord = 10000;
    box->setWordWrapMode(hasUnbrokenRun(text, kLongestWord)
                             ? QTextOption::WrapAnywhere
                             : QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QString editorText = editorTextFromRecord(text);
    if (!hasLineLongerThan(editorText)) {
        box->setPlainText(editorText);
        return;
    }
    {
        // The box reports the new text once it is whole.
        const QSignalBlocker quiet(box);
        setDocumentRecordText(*box->document(), text);
        box->moveCursor(QTextCursor::Start);
    }
    Field_Change(field);
}

void Form1::setFieldDate(const FieldSpec& field, const QDateTime& value)
{
    // A picker without date sections first narrows its range to the new day, which moves its
    // old value to that day's end and reports it as a change: only the final value counts.
    {
        const QSignalBlocker quiet(input(field));
        static_cast<QDateTimeEdit*>(input(field))->setDateTime(value);
    }
    Field_Change(field);
}

void Form1::Field_Change(const FieldSpec& field)
{
    m_writer.changed(QLatin1String(field.name), fieldValue(field));
}

EventRecord Form1::record() const
{
    EventRecord record;
    for (const FieldSpec& field : eventFields()) {
        if (field.isPicker())
            record.*field.date = static_cast<QDateTimeEdit*>(input(field))->dateTime();
        else
            record.*field.text = fieldValue(field);
    }
    return record;
}

void Form1::restoreField(const FieldSpec& field)
{
    const QString name = QLatin1String(field.name);
    const QString stored = SettingsStore::get(name);
    if (!field.isPicker()) {
        // The store holds the text already: showing it writes only what the box changes.
        m_writer.hold(name, stored);
        setFieldText(field, stored);
        return;
    }
    // Nothing stored: the picker keeps the date or time it was built with. Reading the clock
    // again here would give another second on a slow start, and the picker would store it.
    if (stored.isEmpty())
        return;
    const QDateTime value = pickerValue(field, stored);
    auto* picker = static_cast<QDateTimeEdit*>(input(field));
    // The picker would move such a date to its nearest end and store that instead.
    if (value < picker->minimumDateTime() || value > picker->maximumDateTime())
        throw Failure(QStringLiteral("The stored date %1 is outside the range the picker "
                                     "can show (%2 to %3).")
                          .arg(stored, picker->minimumDate().toString(Qt::ISODate),
                               picker->maximumDate().toString(Qt::ISODate)));
    m_writer.hold(name, stored);
    setFieldDate(field, value);
}

void Form1::Form_Load(EngineCheck engineCheck)
{
    StepTrap trap(locationText("Form1", "Form_Load"));
    trap.step(100, [&] { ApplySkin(this); });
    trap.step(104, [&] {
        setWindowTitle(kProductName);
        setWindowIcon(appIcon());
        SetAppTitle();
    });
    const QString cursorPath = optionalFile(kHandCursorFile);
    if (trap.test(106, [&] { return FileExists(cursorPath); }))
        trap.step(108, [&] { m_pointer.setCustomImage(loadCursorFile(cursorPath)); });

    for (const FieldSpec& field : eventFields())
        trap.step(field.restoreStep, [&] { restoreField(field); });

    if (engineCheck == EngineCheck::Run) {
        bool engineAvailable = true;
        trap.step(146, [&] { engineAvailable = CheckWordInstalled(); });
        if (!engineAvailable)
            return;
    }

    show();
    centreOnScreen(this);
}

void Form1::PushButton6_Click()
{
    if (m_busy)
        return;
    m_busy = true;
    const auto notBusy = qScopeGuard([&] { m_busy = false; });

    StepTrap trap(locationText("Form1", "PushButton6_Click"));
    const auto step = [&](int line, const std::function<void()>& body) {
        return trap.step(line, body);
    };
    const FlyerFields fields = flyerFields(record());
    FlyerRun run(&ReadyOffice::take);
    QString documentPath;

    trap.step(104, [&] { m_pointer.set(PointerSetting::Hourglass); });
    run.fill(fields, step);
    trap.step(146, [&] {
        documentPath = m_documentNamer.freePath(flyerTempFolder());
        // Claimed before it exists, so that no other start takes it for a leftover.
        m_documentClaim.reset();
        m_documentClaim = std::make_unique<DocumentClaim>(documentPath);
    });
    const bool saved = run.save(documentPath, step);

    // Without a document there is nothing to capture or to show.
    bool pictured = false;
    if (saved)
        trap.step(162, [&] { pictured = SaveDocAsJPG(run, documentPath); });
    trap.step(164, [&] { m_pointer.set(PointerSetting::Normal); });

    if (saved) {
        trap.step(166, [&] {
            if (pictured)
                preview().loadPicture(pagePicturePath());
            else
                preview().loadPicture(pageNotice(run.failure()));
            preview().setPageNotice(pageOverflowText(run.pageCount()));
        });
        trap.step(168, [&] { preview().mWordFile = documentPath; });
        trap.step(170, [&] {
            preview().show();
            preview().activateWindow();
        });
        trap.step(172, [&] { hide(); });
    } else if (!documentPath.isEmpty()) {
        RemoveFile(documentPath); // what a failed save may have left
    }
    trap.step(174, [&] { RemoveFile(pagePicturePath()); });
    trap.step(176, [&] { RemoveFile(templateCopyPath()); });
    // An office that failed is replaced in the background, ready for the next press.
    ReadyOffice::giveBack(run.officeFailed());
}

Form2& Form1::preview()
{
    if (!m_preview) {
        // A window of its own, not owned by this one: it stays when this one hides.
        m_preview = std::make_unique<Form2>();
        m_preview->setMainWindow(this);
    }
    return *m_preview;
}

Form2* Form1::shownPreview() const
{
    return m_preview && m_preview->isVisible() ? m_preview.get() : nullptr;
}

bool Form1::boxCanUndo(QObject* watched) const
{
    if (auto* line = qobject_cast<QLineEdit*>(watched))
        return line->isUndoAvailable();
    if (auto* box = qobject_cast<QPlainTextEdit*>(watched))
        return box->document()->isUndoAvailable();
    return false;
}

void Form1::rememberTexts()
{
    m_textsBeforeReplace.clear();
    for (const FieldSpec& field : eventFields())
        if (!field.isPicker())
            m_textsBeforeReplace.insert(&field, fieldValue(field));
    m_undo->setEnabled(true);
}

void Form1::undoReplace()
{
    const QHash<const FieldSpec*, QString> texts = std::exchange(m_textsBeforeReplace, {});
    m_undo->setEnabled(false);
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        setFieldText(*it.key(), it.value());
}

void Form1::PushButton2_Click()
{
    StepTrap trap(locationText("Form1", "PushButton2_Click"));
    rememberTexts();
    for (const FieldSpec& field : eventFields()) {
        if (!field.isPicker())
            trap.step(field.resetStep, [&] { setFieldText(field, QString()); });
    }
}

void Form1::PushButton3_Click()
{
    StepTrap trap(locationText("Form1", "PushButton3_Click"));
    rememberTexts();
    for (const FieldSpec& field : eventFields()) {
        if (!field.isPicker())
            trap.step(field.resetStep,
                      [&] { setFieldText(field, QString::fromUtf8(field.sample)); });
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    endProgram();
}

} // namespace lumarel
