#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace lumarel::cli {

// One row of a flyer list: its values by column, or what is wrong with it.
struct ListRow
{
    int number = 0; // the header is row 1
    QHash<QString, QString> values;
    QString problem; // empty for a good row
};

// A flyer list: a CSV file (UTF-8, with or without a byte-order mark) whose header names the
// store's keys and, optionally, `name`, the flyer's file name.
struct FlyerList
{
    QStringList columns;
    QString headerProblem; // every row is refused when the header is wrong
    QList<ListRow> rows;
};

inline const QString kNameColumn = QStringLiteral("name");

FlyerList parseFlyerList(const QByteArray& bytes);

} // namespace lumarel::cli
