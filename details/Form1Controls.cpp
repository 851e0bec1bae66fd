#include "details/Form1.h"

#include "app/SettingsStore.h"
#include "app/Twips.h"
#include "app/WindowKeys.h"
#include "app/WindowLook.h"
#include "details/FieldWidgets.h"
#include "details/Form1Layout.h"
#include "details/LiveFlyer.h"
#include "details/OneLineBox.h"
#include "record/LineBlocks.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>

// The main window's controls: how the window lays them out, and the values they hold in their
// record form.
namespace lumarel {

void Form1::buildWidgets()
{
    const double dpi = Twips::screenDpi();
    const QSize design(Twips::toPixels(layout::kClientWidth, dpi),
                       Twips::toPixels(layout::kClientHeight, dpi));
    makeFixedWindow(this, design);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setGeometry(rect());
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("Form1Content"));
    m_content->setFixedSize(design);
    m_scroll->setWidget(m_content);
    // The window's own background shows through, white or the skin's.
    m_scroll->viewport()->setAutoFillBackground(false);
    watchHover(this, HoverRule::Normal);
    // A control that takes the focus, by a key or a click, is scrolled into view.
    connect(qApp, &QApplication::focusChanged, m_scroll, [this](QWidget*, QWidget* now) {
        if (now && m_content->isAncestorOf(now))
            m_scroll->ensureWidgetVisible(now);
    });

    for (std::size_t i = 0; i < windowButtons().size(); ++i) {
        const ButtonSpec& buttonSpec = windowButtons()[i];
        auto* button = new QPushButton(tr(buttonSpec.caption), m_content);
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

    m_undo = new QAction(tr("&Undo"), this);
    m_undo->setShortcut(QKeySequence::Undo);
    m_undo->setEnabled(false);
    connect(m_undo, &QAction::triggered, this, &Form1::undoReplace);

    m_frame = makeFrame(tr("Event details"), m_content);
    m_frame->setAutoFillBackground(true);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setProperty("index", 2);
    m_frame->setGeometry(Twips::toPixels(layout::kFrame, dpi));
    watchHover(m_frame, HoverRule::Normal);

    for (std::size_t i = 0; i < eventFields().size(); ++i) {
        const FieldSpec& field = eventFields()[i];
        const FieldLayout& look = fieldLayout(field);

        auto* label = new QLabel(tr(look.caption), m_frame);
        label->setObjectName(QStringLiteral("Label4_%1").arg(look.labelIndex));
        label->setProperty("index", look.labelIndex);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setGeometry(labelGeometry(*label, Twips::toPixels(look.label, dpi),
                                         Twips::toPixels(look.input.left, dpi)));
        // Moving onto a label leaves the pointer as it was.
        label->setAttribute(Qt::WA_NoMousePropagation);
        m_labels[i] = label;

        QWidget* widget = makeFieldInput(field, m_frame);
        if (auto* picker = qobject_cast<QDateTimeEdit*>(widget))
            readPickerAsText(picker);
        widget->setObjectName(QLatin1String(field.name));
        widget->setGeometry(Twips::toPixels(look.input, dpi));
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
    QList<QWidget*> menuOwners{this, m_content, m_frame};
    menuOwners.append(QList<QWidget*>(m_labels.begin(), m_labels.end()));
    m_designMenu = makeDesignMenu();
    for (QWidget* owner : menuOwners) {
        owner->addAction(m_undo);
        owner->addAction(m_live->action());
        owner->addAction(m_designMenu->menuAction());
        owner->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    addWindowKeys(this);
}

bool Form1::showWindowMenu(QObject* watched, const QContextMenuEvent& event)
{
    if (!m_hoverRules.contains(watched))
        return false;
    const auto owner = std::find_if(m_inputs.begin(), m_inputs.end(), [watched](QWidget* input) {
        return input == watched || input->isAncestorOf(qobject_cast<QWidget*>(watched));
    });
    // A text box's own editing entries come first, then the window's: from the keyboard too,
    // the window's menu is there wherever the focus is.
    QMenu* menu = nullptr;
    if (owner == m_inputs.end())
        menu = new QMenu;
    else if (auto* line = qobject_cast<QLineEdit*>(*owner))
        menu = line->createStandardContextMenu();
    else if (auto* box = qobject_cast<QPlainTextEdit*>(*owner))
        menu = box->createStandardContextMenu(box->viewport()->mapFromGlobal(event.globalPos()));
    else
        menu = new QMenu;
    if (!menu->isEmpty())
        menu->addSeparator();
    menu->addActions({m_undo, m_live->action(), m_designMenu->menuAction()});
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QStringLiteral("WindowMenu"));
    menu->popup(event.globalPos());
    return true;
}

void Form1::fitToScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The window system's frame is known once the window has been shown.
    const QSize room = screen->availableGeometry().size() - (frameGeometry().size() - size());
    const QSize client = scrolledClientSize(
        m_content->size(), room, style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    setFixedSize(client);
    m_scroll->setGeometry(rect());
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

} // namespace lumarel
