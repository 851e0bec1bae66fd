#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <span>

namespace lumarel {

// The nine values the user enters in the main window. Texts carry CR LF line breaks, as they
// are stored and as the flyer receives them, whatever the editing widget holds inside.
struct EventRecord
{
    QDateTime dtpEventDate;
    QDateTime dtpTime;
    QString txtOrgName;
    QString txtEventName;
    QString txtLocation;
    QString txtMore;
    QString txtInfoOrg;
    QString txtPlans;
    QString txtItems;

    bool operator==(const EventRecord&) const = default;
};

enum class FieldKind
{
    DatePicker,
    TimePicker,
    SingleLine,
    MultiLine
};

// One detail: its control name, which is also its settings key, its kind, its text in the
// example event and its place in the record.
struct FieldSpec
{
    const char* name;
    FieldKind kind;
    const char* sample;           // the example event's text; nullptr for the pickers
    QDateTime EventRecord::*date; // for the pickers
    QString EventRecord::*text;   // for the text boxes

    bool isPicker() const { return date != nullptr; }
};

// The nine fields in tab order, which is also the order of restore, Clear/Reset and sample data.
std::span<const FieldSpec> eventFields();
// The field of a control name; nullptr for any other name.
const FieldSpec* eventField(const QString& name);

// A picker's value from the text the store holds for it; an empty text means today for the
// date and the present second for the time. Throws Failure("Type mismatch") for a text that is
// not a stored date.
QDateTime pickerValue(const FieldSpec& field, const QString& stored);
// A field of the record from its stored text, as the window restores it.
void setFromStoredText(EventRecord& record, const FieldSpec& field, const QString& stored);

// A multi-line editor's raw text (paragraph and line separators) with CR LF line breaks.
QString recordTextFromEditor(const QString& editorText);
// CR LF, lone CR and lone LF all become one line break of a multi-line editor.
QString editorTextFromRecord(const QString& recordText);

// A single-line box's text: each line break (CR LF, CR, LF, line and paragraph separators)
// becomes one blank, as the box shows it.
QString singleLineText(const QString& text);
bool hasLineBreak(const QString& text);

// Whether the text holds `length` characters or more without a blank or a line break: a word
// so long that breaking lines only at word ends takes the text layout minutes.
bool hasUnbrokenRun(const QString& text, qsizetype length);

// The most characters a text field hands to a flyer: more than any flyer can show, and few
// enough for the office to lay out in moments (megabytes keep it busy for minutes).
inline constexpr qsizetype kMaxFlyerText = 100000;
// The first text field, in tab order, that holds more than kMaxFlyerText; nullptr when none.
const FieldSpec* overlongField(const EventRecord& record);
// Why a field's text is refused, for a message that names the field first.
QString overlongText(qsizetype length);

// The time picker's display format: the locale's long time without its time zone.
QString timeOfDayFormat(const QLocale& locale);
// The date picker's format: the locale's own short form with the year in four digits (the
// picker reaches from 1601 to 9999), and "dd-MMM-yyyy" in English, unambiguous everywhere.
QString pickerDateFormat(const QLocale& locale);

} // namespace lumarel
