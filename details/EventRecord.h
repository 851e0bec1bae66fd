#pragma once

#include "app/Twips.h"
#include "flyer/BookmarkTexts.h"

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

// One field as the main window shows it. Geometry is in twips, relative to the frame.
struct FieldSpec
{
    const char* name; // the control name, also the settings key
    const char* caption;
    int labelIndex; // index in the Label4 control array
    TwipsRect label;
    FieldKind kind;
    TwipsRect input;
    int tabIndex;
    int restoreStep;              // start-up step that restores it
    int resetStep;                // step of Clear/Reset and of the sample data; 0 for the pickers
    const char* sample;           // sample data text; nullptr for the pickers
    QDateTime EventRecord::*date; // for the pickers
    QString EventRecord::*text;   // for the text boxes

    bool isPicker() const { return date != nullptr; }
};

// A push button across the top of the main window; geometry in twips, relative to the window.
struct ButtonSpec
{
    const char* name;
    const char* caption;
    TwipsRect rect;
    int tabIndex;
};

// The main window's layout in twips.
namespace layout {
inline constexpr int kClientWidth = 9240;
inline constexpr int kClientHeight = 7500;
inline constexpr TwipsRect kFrame{120, 1110, 9000, 6255};
} // namespace layout

// The nine fields in tab order, which is also the order of restore, Clear/Reset and sample data.
std::span<const FieldSpec> eventFields();
// The field of a control name; nullptr for any other name.
const FieldSpec* eventField(const QString& name);
std::span<const ButtonSpec> windowButtons();

// A picker's value from the text the store holds for it; an empty text means today for the
// date and the present second for the time. Throws Failure("Type mismatch") for a text that is
// not a stored date.
QDateTime pickerValue(const FieldSpec& field, const QString& stored);
// A field of the record from its stored text, as the window restores it.
void setFromStoredText(EventRecord& record, const FieldSpec& field, const QString& stored);
// The details as the flyer needs them.
FlyerFields flyerFields(const EventRecord& record);

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

// The time picker's display format: the locale's long time without its time zone.
QString timeOfDayFormat(const QLocale& locale);

} // namespace lumarel
