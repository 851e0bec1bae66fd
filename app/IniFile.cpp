#include "IniFile.h"

#include "IniValue.h"

#include <QIODevice>
#include <QStringDecoder>

#include <array>

namespace lumarel {

namespace {

enum : unsigned char
{
    Space = 1,
    Special = 2
};

constexpr std::array<unsigned char, 256> kTraits = [] {
    std::array<unsigned char, 256> traits{};
    traits['\t'] = Space;
    traits[' '] = Space;
    traits['\n'] = Space | Special;
    traits['\r'] = Space | Special;
    for (unsigned char c : {'"', ';', '=', '\\'})
        traits[c] = Special;
    return traits;
}();

unsigned char traits(char c)
{
    return kTraits[static_cast<unsigned char>(c)];
}

// One logical line from `pos`, split as QSettings splits them: blank lines and comments are
// skipped, and a quote or a backslash carries a line over its line break.
bool readLine(QByteArrayView data, qsizetype& pos, qsizetype& start, qsizetype& length,
              qsizetype& equals)
{
    const qsizetype size = data.size();
    bool inQuotes = false;
    bool ended = false;
    equals = -1;
    start = pos;
    while (start < size && (traits(data[start]) & Space))
        ++start;
    qsizetype i = start;
    while (i < size && !ended) {
        const char ch = data[i++];
        if (!(traits(ch) & Special))
            continue;
        switch (ch) {
        case '=':
            if (!inQuotes && equals == -1)
                equals = i - 1;
            break;
        case '\n':
        case '\r':
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                ended = true;
            }
            break;
        case '\\':
            if (i < size) {
                const char next = data[i++];
                if (i < size &&
                    ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
                    ++i;
            }
            break;
        case '"':
            inQuotes = !inQuotes;
            break;
        default: // ';'
            if (i == start + 1) {
                while (i < size && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < size && (traits(data[i]) & Space))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                ended = true;
            }
        }
    }
    pos = i;
    length = i - start;
    return length > 0;
}

// True when a value that ran to the end of the file would swallow the next line if a line
// break followed it: an open quote or a last backslash.
bool endsOpen(QByteArrayView value)
{
    bool inQuotes = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && ++i == value.size())
            return true;
        if (value[i] == '"')
            inQuotes = !inQuotes;
    }
    return inQuotes;
}

QString unescapeKey(QByteArrayView bytes, bool& utf8)
{
    QStringDecoder toUtf16(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    const QString decoded = toUtf16(bytes);
    utf8 = utf8 && !toUtf16.hasError();
    QString key;
    key.reserve(decoded.size());
    const qsizetype size = decoded.size();
    for (qsizetype i = 0; i < size;) {
        const QChar ch = decoded[i];
        if (ch == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (ch != u'%' || i == size - 1) {
            key += ch;
            ++i;
            continue;
        }
        const bool wide = decoded[i + 1] == u'U';
        const qsizetype first = i + 1 + (wide ? 1 : 0);
        const qsizetype digits = wide ? 4 : 2;
        bool ok = false;
        const ushort code = first + digits <= size
                                ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        if (!ok) {
            key += u'%';
            ++i;
            continue;
        }
        key += QChar(code);
        i = first + digits;
    }
    return key;
}

QByteArray escapeKey(QStringView key)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray bytes;
    bytes.reserve(key.size());
    for (const QChar qch : key) {
        const char16_t ch = qch.unicode();
        if (ch == '/') {
            bytes += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                   (ch >= '0' && ch <= '9') || ch == '_' || ch == '-' || ch == '.') {
            bytes += char(ch);
        } else if (ch <= 0xFF) {
            bytes += '%';
            bytes += hex[ch >> 4];
            bytes += hex[ch & 15];
        } else {
            bytes += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                bytes += hex[(ch >> shift) & 15];
        }
    }
    return bytes;
}

QByteArray groupHeader(const QString& name)
{
    const QByteArray escaped = escapeKey(name);
    if (escaped.isEmpty())
        return "[General]";
    if (escaped.compare("general", Qt::CaseInsensitive) == 0)
        return "[%General]";
    return '[' + escaped + ']';
}

} // namespace

IniFile IniFile::parse(const QByteArray& bytes)
{
    IniFile file;
    file.m_source = bytes;
    QByteArrayView data = file.m_source;
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    std::size_t current = file.groupIndex(QString());
    qsizetype pos = 0, start = 0, length = 0, equals = -1;
    const auto problem = [&](const char* what) {
        if (file.m_problem.isEmpty())
            file.m_problem = QStringLiteral("%1 on line %2")
                                 .arg(QLatin1String(what))
                                 .arg(data.first(start).count('\n') + 1);
    };
    while (readLine(data, pos, start, length, equals)) {
        const QByteArrayView line = data.sliced(start, length);
        bool utf8 = true;
        if (line.startsWith('[')) {
            qsizetype close = line.indexOf(']');
            if (close < 0) {
                problem("a group name without its closing \"]\"");
                close = length;
            }
            const QByteArrayView name = line.first(close).sliced(1).trimmed();
            QString groupName;
            if (name.compare("%general", Qt::CaseInsensitive) == 0)
                groupName = QString::fromLatin1(name.sliced(1));
            else if (name.compare("general", Qt::CaseInsensitive) != 0)
                groupName = unescapeKey(name, utf8);
            current = file.groupIndex(groupName);
        } else if (equals < 0) {
            problem("a line that is not a setting (it has no \"=\")");
        } else {
            const QByteArrayView value = data.sliced(equals + 1, pos - equals - 1);
            Entry entry;
            entry.key = unescapeKey(data.sliced(start, equals - start).trimmed(), utf8);
            entry.text = decodeValue(value, &utf8);
            entry.head = escapeKey(entry.key) + '=';
            // The last line may end in an open quote that a line break would continue.
            if (pos == data.size() && endsOpen(value))
                ini::appendValue(entry.value, entry.text.value_or(QString()));
            else
                entry.value = QByteArray::fromRawData(value.data(), value.size());
            file.addEntry(current, std::move(entry));
        }
        if (!utf8)
            problem("bytes that are not UTF-8 text");
    }
    return file;
}

std::optional<QString> IniFile::value(const QString& group, const QString& key) const
{
    for (const Group& each : m_groups) {
        if (each.name != group)
            continue;
        for (const Entry& entry : each.entries) {
            if (entry.key == key)
                return entry.text;
        }
    }
    return std::nullopt;
}

void IniFile::setValue(const QString& group, const QString& key, const QString& text)
{
    const std::size_t index = groupIndex(group);
    for (Entry& entry : m_groups[index].entries) {
        if (entry.key == key) {
            // The value's own buffer, when it has one, is filled again: memory that is not
            // new costs no page faults, which a value of megabytes would meet at every write.
            entry.value.truncate(0);
            ini::appendValue(entry.value, text);
            entry.text = text;
            return;
        }
    }
    Entry entry{key, escapeKey(key) + '=', QByteArray(), text};
    ini::appendValue(entry.value, text);
    m_groups[index].entries.push_back(std::move(entry));
}

bool IniFile::writeTo(QIODevice& device) const
{
    bool first = true;
    for (const Group& group : m_groups) {
        if (group.entries.empty())
            continue;
        QByteArray header = groupHeader(group.name) + '\n';
        if (!first)
            header.prepend('\n');
        first = false;
        if (device.write(header) != header.size())
            return false;
        for (const Entry& entry : group.entries) {
            if (device.write(entry.head) != entry.head.size() ||
                device.write(entry.value) != entry.value.size() || device.write("\n", 1) != 1)
                return false;
        }
    }
    return true;
}

std::size_t IniFile::groupIndex(const QString& name)
{
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        if (m_groups[i].name == name)
            return i;
    }
    m_groups.push_back({name, {}});
    return m_groups.size() - 1;
}

// A key read twice keeps its first place and its last value, as in QSettings.
void IniFile::addEntry(std::size_t group, Entry entry)
{
    for (Entry& existing : m_groups[group].entries) {
        if (existing.key == entry.key) {
            existing = std::move(entry);
            return;
        }
    }
    m_groups[group].entries.push_back(std::move(entry));
}

} // namespace lumarel
