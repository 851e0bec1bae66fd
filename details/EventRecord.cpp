#include "details/EventRecord.h"

#include "app/SettingsStore.h"

#include <array>

namespace lumarel {

namespace {

using K = FieldKind;
using R = EventRecord;

constexpr int kLabelLeft = 240;
constexpr int kInputLeft = 2640;
constexpr int kInputWidth = 6135;

// name, caption, label index, label top/width/height, kind, input top/height, tab index,
// restore step, reset step, sample text.
const std::array<FieldSpec, 9> kFields{{
    {"dtpEventDate",
     "Event date:",
     4,
     {kLabelLeft, 345, 2370, 225},
     K::DatePicker,
     {kInputLeft, 300, kInputWidth, 345},
     0,
     128,
     0,
     nullptr,
     &R::dtpEventDate,
     nullptr},
    {"dtpTime",
     "Event time:",
     52,
     {kLabelLeft, 795, 2370, 225},
     K::TimePicker,
     {kInputLeft, 750, kInputWidth, 345},
     1,
     130,
     0,
     nullptr,
     &R::dtpTime,
     nullptr},
    {"txtOrgName",
     "Your organization's name:",
     51,
     {kLabelLeft, 1245, 2340, 225},
     K::SingleLine,
     {kInputLeft, 1200, kInputWidth, 345},
     2,
     132,
     100,
     "Quenwick",
     nullptr,
     &R::txtOrgName},
    {"txtEventName",
     "Name of your event:",
     48,
     {kLabelLeft, 1695, 1680, 225},
     K::MultiLine,
     {kInputLeft, 1650, kInputWidth, 720},
     3,
     134,
     102,
     "9th Annual\r\nTaco Eating Contest",
     nullptr,
     &R::txtEventName},
    {"txtLocation",
     "Street address:",
     47,
     {kLabelLeft, 2515, 1320, 225},
     K::SingleLine,
     {kInputLeft, 2470, kInputWidth, 345},
     4,
     136,
     104,
     "Brantwell MA",
     nullptr,
     &R::txtLocation},
    {"txtMore",
     "More about your event:",
     0,
     {kLabelLeft, 2955, 2100, 225},
     K::MultiLine,
     {kInputLeft, 2910, kInputWidth, 720},
     5,
     138,
     106,
     "The first 20 people to sign up will have five minutes to eat as many ground beef tacos "
     "as their stomachs can handle.",
     nullptr,
     &R::txtMore},
    {"txtInfoOrg",
     "Information about your organization:",
     1,
     {kLabelLeft, 3765, 1740, 450},
     K::MultiLine,
     {kInputLeft, 3720, kInputWidth, 720},
     6,
     140,
     108,
     "Please contact us at 555-014-2287 for more information",
     nullptr,
     &R::txtInfoOrg},
    {"txtPlans",
     "Plans you are making for the event:",
     2,
     {kLabelLeft, 4575, 1980, 675},
     K::MultiLine,
     {kInputLeft, 4530, kInputWidth, 720},
     7,
     142,
     110,
     "None",
     nullptr,
     &R::txtPlans},
    {"txtItems",
     "Items attendees should bring:",
     3,
     {kLabelLeft, 5385, 1740, 450},
     K::MultiLine,
     {kInputLeft, 5340, kInputWidth, 720},
     8,
     144,
     112,
     "Throw-up bag",
     nullptr,
     &R::txtItems},
}};

const std::array<ButtonSpec, 3> kButtons{{
    {"PushButton6", "Start Creating Template", {120, 120, 9000, 405}, 20},
    {"PushButton2", "Clear/Reset Data", {120, 630, 4440, 405}, 21},
    {"PushButton3", "Load Sample/Example Data", {4680, 630, 4440, 405}, 22},
}};

} // namespace

std::span<const FieldSpec> eventFields()
{
    return kFields;
}

const FieldSpec* eventField(const QString& name)
{
    for (const FieldSpec& field : kFields) {
        if (name == QLatin1String(field.name))
            return &field;
    }
    return nullptr;
}

std::span<const ButtonSpec> windowButtons()
{
    return kButtons;
}

QDateTime pickerValue(const FieldSpec& field, const QString& stored)
{
    if (!stored.isEmpty())
        return SettingsStore::textToDate(stored);
    if (field.kind == FieldKind::DatePicker)
        return QDateTime(QDate::currentDate(), QTime(0, 0));
    // Whole seconds, as the stored text keeps them.
    const QDateTime current = QDateTime::currentDateTime();
    const QTime time = current.time();
    return QDateTime(current.date(), QTime(time.hour(), time.minute(), time.second()));
}

void setFromStoredText(EventRecord& record, const FieldSpec& field, const QString& stored)
{
    if (field.isPicker())
        record.*field.date = pickerValue(field, stored);
    else
        record.*field.text = stored;
}

EventRecord storedRecord()
{
    EventRecord record;
    for (const FieldSpec& field : kFields)
        setFromStoredText(record, field, SettingsStore::get(QLatin1String(field.name)));
    return record;
}

FlyerFields flyerFields(const EventRecord& record)
{
    return {record.dtpEventDate.date(), record.dtpTime.time(), record.txtOrgName,
            record.txtEventName,        record.txtLocation,    record.txtMore,
            record.txtInfoOrg,          record.txtPlans,       record.txtItems};
}

QString recordTextFromEditor(const QString& editorText)
{
    QString text;
    text.reserve(editorText.size());
    for (const QChar c : editorText) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\n'))
            text += QLatin1String("\r\n");
        else
            text += c;
    }
    return text;
}

QString editorTextFromRecord(const QString& recordText)
{
    QString text = recordText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace lumarel
