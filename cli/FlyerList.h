#pragma once

#include "flyer/BookmarkTexts.h"

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
    int line = 0;   // the file's line the row starts on, for messages
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

// What one row makes: the details (stored texts where the row has no column) and the file
// name, or what is wrong with the row.
struct RowFlyer
{
    FlyerFields fields;
    QString fileName;
    QString problem;
};
RowFlyer rowFlyer(const ListRow& row, const QHash<QString, QString>& stored,
                  const QString& extension);

} // namespace lumarel::cli
