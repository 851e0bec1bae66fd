#include "record/EventRecord.h"

#include "app/SettingsStore.h"

#include <algorithm>
#include <array>

namespace lumarel {

namespace {

using K = FieldKind;
using R = EventRecord;

// In tab order, which is also the order of restore, Clear/Reset and sample data; name, kind,
// sample text, place in the record.
const std::array<FieldSpec, 9> kFields{{
    {"dtpEventDate", K::DatePicker, nullptr, &R::dtpEventDate, nullptr},
    {"dtpTime", K::TimePicker, nullptr, &R::dtpTime, nullptr},
    {"txtOrgName", K::SingleLine, "Quenwick", nullptr, &R::txtOrgName},
    {"txtEventName", K::MultiLine, "9th Annual\r\nTaco Eating Contest", nullptr, &R::txtEventName},
    {"txtLocation", K::SingleLine, "Brantwell MA", nullptr, &R::txtLocation},
    {"txtMore", K::MultiLine,
     "The first 20 people to sign up will have five minutes to eat as many ground beef tacos "
     "as their stomachs can handle.",
     nullptr, &R::txtMore},
    {"txtInfoOrg", K::MultiLine, "Please contact us at 555-014-2287 for more information", nullptr,
     &R::txtInfoOrg},
    {"txtPlans", K::MultiLine, "None", nullptr, &R::txtPlans},
    {"txtItems", K::MultiLine, "Throw-up bag", nullptr, &R::txtItems},
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

const FieldSpec* overlongField(const EventRecord& record)
{
    for (const FieldSpec& field : eventFields())
        if (field.text && (record.*field.text).size() > kMaxFlyerText)
            return &field;
    return nullptr;
}

QString overlongText(qsizetype length)
{
    return QStringLiteral("the text is %L1 characters long, more than a flyer can show (at most "
                          "%L2)")
        .arg(length)
        .arg(kMaxFlyerText);
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
    // Spanish writes the zone in brackets, "H:mm:ss (t)", which would stay behind empty.
    return result.remove(QLatin1String("()"))
        .trimmed()
        .replace(QLatin1String("  "), QLatin1String(" "));
}

QString pickerDateFormat(const QLocale& locale)
{
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return QStringLiteral("dd-MMM-yyyy");
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

} // namespace lumarel
