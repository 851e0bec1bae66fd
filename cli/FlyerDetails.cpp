#include "cli/FlyerDetails.h"

#include "app/Failure.h"
#include "app/SettingsStore.h"

#include <QFile>

namespace lumarel::cli {

QHash<QString, QString> storedTexts()
{
    QHash<QString, QString> texts;
    for (const FieldSpec& field : eventFields())
        texts.insert(QLatin1String(field.name), SettingsStore::get(QLatin1String(field.name)));
    return texts;
}

void requireReadableStore(const QStringList& given, QTextStream& err)
{
    const QString problem = SettingsStore::readProblem();
    if (problem.isEmpty())
        return;
    for (const FieldSpec& field : eventFields())
        if (!given.contains(QLatin1String(field.name)))
            throw Failure(QStringLiteral("%1 No flyer is made, as it would show placeholders "
                                         "for the stored details: repair or move away the "
                                         "file, or give every detail (%2).")
                              .arg(problem, fieldKeys().join(QStringLiteral(", "))));
    err << QStringLiteral("lumarel: %1 Every detail is given, so it is not needed.").arg(problem)
        << Qt::endl;
}

EventRecord recordFromTexts(const QHash<QString, QString>& texts, const QStringList& given)
{
    EventRecord record;
    for (const FieldSpec& field : eventFields()) {
        const QString key = QLatin1String(field.name);
        const QString text = texts.value(key);
        if (field.isPicker() && text.isEmpty() && given.contains(key))
            throw Failure(QStringLiteral("%1: an empty value is not a date and time as the store "
                                         "writes them (yyyy-MM-dd or yyyy-MM-dd HH:mm:ss)")
                              .arg(key));
        try {
            setFromStoredText(record, field, text);
        } catch (const Failure&) {
            throw Failure(QStringLiteral("%1: \"%2\" is not a date and time as the store writes "
                                         "them (yyyy-MM-dd or yyyy-MM-dd HH:mm:ss)")
                              .arg(key, text));
        }
        // The flyer writes the year with four digits at most, and no sign.
        if (field.isPicker()) {
            const int year = (record.*field.date).date().year();
            if (year < 1 || year > 9999)
                throw Failure(QStringLiteral("%1: \"%2\" is outside the years a flyer can "
                                             "show, 0001 to 9999")
                                  .arg(key, text));
        }
    }
    if (const FieldSpec* field = overlongField(record))
        throw Failure(QStringLiteral("%1: %2").arg(QLatin1String(field->name),
                                                   overlongText((record.*field->text).size())));
    return record;
}

bool isFieldKey(const QString& key)
{
    return eventField(key) != nullptr;
}

QStringList fieldKeys()
{
    QStringList keys;
    for (const FieldSpec& field : eventFields())
        keys << QLatin1String(field.name);
    return keys;
}

QString unescapeValue(const QString& value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            if (value[i + 1] == QLatin1Char('n')) {
                text += QLatin1String("\r\n");
                ++i;
                continue;
            }
            if (value[i + 1] == QLatin1Char('\\')) {
                text += QLatin1Char('\\');
                ++i;
                continue;
            }
        }
        text += value[i];
    }
    return text;
}

QString recordLineBreaks(const QString& text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QString safeFileName(const QString& wish, const QString& fallback, const QString& extension)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString name;
    name.reserve(wish.size());
    for (const QChar c : wish)
        name += (c.unicode() < 0x20 || c.unicode() == 0x7f || refused.contains(c) ||
                 c.category() == QChar::Other_Format)
                    ? QLatin1Char('_')
                    : c;
    const QString suffix = QLatin1Char('.') + extension;
    if (name.endsWith(suffix, Qt::CaseInsensitive))
        name.chop(suffix.size());
    // Leading dots hide a file; trailing dots and blanks some file systems drop.
    qsizetype first = 0;
    while (first < name.size() && (name[first] == QLatin1Char('.') || name[first].isSpace()))
        ++first;
    qsizetype end = name.size();
    while (end > first && (name[end - 1] == QLatin1Char('.') || name[end - 1].isSpace()))
        --end;
    name = name.mid(first, end - first);
    if (name.isEmpty())
        return fallback + suffix;
    // Cut, the name would no longer be the one asked for, and two rows might share it.
    const qsizetype bytes = QFile::encodeName(name + suffix).size();
    if (bytes > kLongestFileName)
        throw Failure(QStringLiteral("the name would make a file name of %1 bytes; a file name "
                                     "holds at most %2 bytes, the extension included")
                          .arg(bytes)
                          .arg(kLongestFileName));
    return name + suffix;
}

} // namespace lumarel::cli
