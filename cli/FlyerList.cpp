#include "cli/FlyerList.h"

#include "app/Failure.h"
#include "cli/FlyerDetails.h"
#include "flyer/RecordFields.h"

#include <QStringDecoder>

#include <optional>

#include <csv.h>

namespace lumarel::cli {

namespace {

struct Record
{
    int number = 0;
    int line = 0; // where the record starts in the file
    QList<QByteArray> fields;
};

struct Reading
{
    QList<Record> records;
    Record current;
    int line = 1; // the line being read
};

void onField(void* data, size_t size, void* reading)
{
    static_cast<Reading*>(reading)->current.fields
        << QByteArray(static_cast<const char*>(data), qsizetype(size));
}

void onRecordEnd(int, void* data)
{
    auto* reading = static_cast<Reading*>(data);
    reading->current.number = int(reading->records.size()) + 1;
    // The record ends on the line being read; its quoted line breaks came before.
    int breaks = 0;
    for (const QByteArray& field : reading->current.fields)
        breaks += int(field.count('\n'));
    reading->current.line = reading->line - breaks;
    reading->records << std::move(reading->current);
    reading->current = {};
}

// Blanks around unquoted values belong to the value.
int noSpace(unsigned char)
{
    return 0;
}

// The file's records, and why the parse stopped early (empty when it did not). A stray quote
// inside a value is taken as it is; only a quoted value left open at the end is refused, since
// it would swallow every row after it.
std::pair<QList<Record>, QString> readRecords(const QByteArray& bytes)
{
    csv_parser parser;
    csv_init(&parser, 0);
    csv_set_space_func(&parser, noSpace);
    Reading reading;
    QString problem;
    // Line by line, so that each record knows its line: blank lines are no records.
    for (qsizetype start = 0; start < bytes.size(); ++reading.line) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        csv_parse(&parser, bytes.constData() + start, size_t(end - start), onField, onRecordEnd,
                  &reading);
        start = end;
    }
    // The last line, when it does not end in a line break, is the one csv_fini ends.
    if (bytes.endsWith('\n'))
        --reading.line;
    csv_set_opts(&parser, CSV_STRICT | CSV_STRICT_FINI);
    if (csv_error(&parser) != CSV_SUCCESS)
        problem = QString::fromLatin1(csv_strerror(csv_error(&parser)));
    else if (csv_fini(&parser, onField, onRecordEnd, &reading) != 0)
        problem = QStringLiteral("a quoted value is not closed");
    csv_free(&parser);
    return {reading.records, problem};
}

std::optional<QString> utf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

FlyerList parseFlyerList(const QByteArray& bytes)
{
    const QByteArray bom("\xEF\xBB\xBF");
    auto [records, parseProblem] = readRecords(bytes.startsWith(bom) ? bytes.mid(3) : bytes);
    FlyerList list;
    if (records.isEmpty()) {
        list.headerProblem = QStringLiteral("the list is empty; its first row names the columns");
        return list;
    }
    const Record header = records.takeFirst();
    if (bytes.contains('\0')) {
        list.headerProblem = QStringLiteral("the list is not a text file: it holds NUL bytes");
        return list;
    }
    for (const QByteArray& field : header.fields) {
        const std::optional<QString> text = utf8(field);
        if (!text) {
            list.headerProblem =
                QStringLiteral("the first line is not UTF-8 text; the list must be "
                               "a CSV text file in UTF-8");
            return list;
        }
        const QString column = text->trimmed();
        if (list.columns.contains(column))
            list.headerProblem = QStringLiteral("the column \"%1\" is named twice").arg(column);
        else if (column != kNameColumn && !isFieldKey(column))
            list.headerProblem =
                QStringLiteral("unknown column \"%1\" (columns are %2 and %3)")
                    .arg(column, fieldKeys().join(QStringLiteral(", ")), kNameColumn);
        list.columns << column;
    }
    for (const Record& record : records) {
        ListRow row{record.number, record.line, {}, {}};
        if (record.fields.size() != list.columns.size())
            row.problem = QStringLiteral("%1 values where the header names %2 columns")
                              .arg(record.fields.size())
                              .arg(list.columns.size());
        for (qsizetype i = 0; i < record.fields.size() && row.problem.isEmpty(); ++i) {
            const std::optional<QString> value = utf8(record.fields[i]);
            if (!value)
                row.problem =
                    QStringLiteral("the value of \"%1\" is not UTF-8 text").arg(list.columns[i]);
            else
                row.values.insert(list.columns[i], *value);
        }
        list.rows << row;
    }
    if (!parseProblem.isEmpty()) {
        // The parser gave up inside the record after the last one it finished.
        const int number = list.rows.isEmpty() ? 2 : list.rows.back().number + 1;
        const Record& last = list.rows.isEmpty() ? header : records.back();
        int line = last.line + 1;
        for (const QByteArray& field : last.fields)
            line += int(field.count('\n'));
        list.rows << ListRow{
            number,
            line,
            {},
            QStringLiteral("the list cannot be read from here on: %1").arg(parseProblem)};
    }
    return list;
}

RowFlyer rowFlyer(const ListRow& row, const QHash<QString, QString>& stored,
                  const QString& extension)
{
    RowFlyer flyer;
    flyer.problem = row.problem;
    try {
        flyer.fileName = safeFileName(row.values.value(kNameColumn),
                                      QStringLiteral("flyer-%1").arg(row.number), extension);
    } catch (const Failure& failure) {
        if (flyer.problem.isEmpty())
            flyer.problem = QStringLiteral("%1: %2").arg(kNameColumn, failure.description());
    }
    if (!flyer.problem.isEmpty())
        return flyer;
    QHash<QString, QString> texts = stored;
    for (auto it = row.values.begin(); it != row.values.end(); ++it)
        if (it.key() != kNameColumn)
            texts.insert(it.key(), recordLineBreaks(it.value()));
    try {
        flyer.fields = flyerFields(recordFromTexts(texts));
    } catch (const Failure& failure) {
        flyer.problem = failure.description();
    }
    return flyer;
}

} // namespace lumarel::cli
