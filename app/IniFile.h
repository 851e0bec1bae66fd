#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace lumarel {

// A settings file in the INI format of Qt's QSettings: the same groups, key and value
// escapes, quoting and comments, so that either reads what the other wrote. Each entry keeps
// its line as read, and a write encodes only the value that changed: a file that holds a value
// of many megabytes is written again in about the time the disk needs.
class IniFile
{
public:
    // Reads a file's bytes. What QSettings would reject (a group without its closing bracket, a
    // line without "=") and bytes that are not UTF-8 leave the file incomplete.
    static IniFile parse(const QByteArray& data);

    // Empty when every byte was read; otherwise the first problem, in words.
    const QString& problem() const { return m_problem; }

    // The text under group and key; nothing when there is none. A list of texts, as a hand
    // written "a, b" reads, comes back joined by ", ".
    std::optional<QString> value(const QString& group, const QString& key) const;
    void setValue(const QString& group, const QString& key, const QString& text);

    // Writes the whole file; false when the device fails.
    bool writeTo(QIODevice& device) const;

    // One value's text from the bytes after "=".
    static std::optional<QString> decodeValue(QByteArrayView bytes, bool* utf8 = nullptr);

private:
    struct Entry
    {
        QString key;
        QByteArray head;  // the key as written, with its "="
        QByteArray value; // the value as written; as read, it points into the file's bytes
        std::optional<QString> text;
    };
    struct Group
    {
        QString name; // empty for the keys outside any group
        std::vector<Entry> entries;
    };

    std::size_t groupIndex(const QString& name);
    void addEntry(std::size_t group, Entry entry);

    QByteArray m_source; // the bytes read, which the entries read from it point into
    std::vector<Group> m_groups;
    QString m_problem;
};

} // namespace lumarel
