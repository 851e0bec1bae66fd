#include "details/EventRecord.h"

#include "app/SettingsStore.h"

#include <algorithm>
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

FlyerFields flyerFields(const EventRecord& record)
{
    return {record.dtpEventDate.date(), record.dtpTime.time(), record.txtOrgName,
            record.txtEventName,        record.txtLocation,    record.txtMore,
            record.txtInfoOrg,          record.txtPlans,       record.txtItems};
}

QString recordTextFromEditor(const QString& editorText)
{
    const auto isBreak = [](QChar c) {
        return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n';
    };
    // Texts may be megabytes long and are converted at every keystroke: one exact allocation.
    const auto breaks = std::count_if(editorText.begin(), editorText.end(), isBreak);
    if (breaks == 0)
        return editorText;
    QString text(editorText.size() + breaks, Qt::Uninitialized);
    QChar* out = text.data();
    for (const QChar c : editorText) {
        if (isBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return text;
}

QString editorTextFromRecord(const QString& recordText)
{
    if (!recordText.contains(u'\r'))
        return recordText;
    QString text(recordText.size(), Qt::Uninitialized);
    QChar* out = text.data();
    const qsizetype size = recordText.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (recordText[i] != u'\r') {
            *out++ = recordText[i];
            continue;
        }
        *out++ = u'\n';
        if (i + 1 < size && recordText[i + 1] == u'\n')
            ++i;
    }
    text.truncate(out - text.constData());
    return text;
}

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

} // namespace

bool hasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar::LineSeparator) ||
           text.contains(QChar::ParagraphSeparator);
}

bool hasUnbrokenRun(const QString& text, qsizetype length)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run >= length)
            return true;
    }
    return false;
}

QString singleLineText(const QString& text)
{
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i])) {
            line += text[i];
            continue;
        }
        line += u' ';
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    return line;
}

QString timeOfDayFormat(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            result += c;
    }
    return result.trimmed().replace(QLatin1String("  "), QLatin1String(" "));
}

} // namespace lumarel
