#include "IniFile.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>
#include <QVariant>

#include <algorithm>
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

bool isHexDigit(char16_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
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

// True when the bytes end inside a UTF-8 sequence. Runs end before ASCII characters, so such
// a run was not UTF-8 text.
bool cutShort(QByteArrayView run)
{
    for (qsizetype back = 1; back <= 4 && back <= run.size(); ++back) {
        const auto byte = static_cast<unsigned char>(run[run.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const int needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back;
    }
    return false;
}

// The value's texts with QSettings' quoting and escapes undone; more than one when the value
// is a comma-separated list.
QStringList unescapeValue(QByteArrayView bytes, bool& utf8)
{
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    // One decoder for the whole value, as QSettings has it: a leading byte order mark is
    // dropped once, not after every escape.
    QStringDecoder toUtf16(QStringDecoder::Utf8);
    QStringList list;
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    const qsizetype size = bytes.size();
    QString text(size, Qt::Uninitialized); // never longer than its bytes
    QChar* const out = text.data();
    qsizetype length = 0;
    qsizetype chopLimit = 0;
    qsizetype i = 0;

    const auto skipSpaces = [&] {
        while (i < size && (bytes[i] == ' ' || bytes[i] == '\t'))
            ++i;
        chopLimit = length;
    };
    const auto chopSpaces = [&] {
        while (length > chopLimit && (out[length - 1] == u' ' || out[length - 1] == u'\t'))
            --length;
    };
    // A numeric escape: its digits in `base`, as many as follow.
    const auto numeric = [&](int base, char32_t value) {
        while (i < size) {
            const char c = bytes[i];
            const bool digit = base == 8 ? (c >= '0' && c <= '7') : isHexDigit(c);
            if (!digit)
                break;
            value = value * base + hexValue(c);
            ++i;
        }
        out[length++] = QChar(char16_t(value));
        chopLimit = length;
    };

    skipSpaces();
    bool chopAtEnd = true;
    bool decoding = false;
    while (i < size) {
        const char c = bytes[i];
        if (c == '\\') {
            if (++i >= size) {
                chopAtEnd = false;
                break;
            }
            const char code = bytes[i++];
            bool known = false;
            for (const auto& escape : kEscapes) {
                if (code == escape[0]) {
                    out[length++] = QLatin1Char(escape[1]);
                    known = true;
                    break;
                }
            }
            if (known) {
                chopLimit = length;
            } else if (code == 'x') {
                if (i >= size) {
                    chopAtEnd = false;
                    break;
                }
                if (isHexDigit(bytes[i]))
                    numeric(16, 0);
                else
                    chopLimit = length;
            } else if (code >= '0' && code <= '7') {
                numeric(8, char32_t(code - '0'));
            } else {
                if ((code == '\n' || code == '\r') && i < size &&
                    (bytes[i] == '\n' || bytes[i] == '\r') && bytes[i] != code)
                    ++i;
                chopLimit = length; // any other escaped character is dropped
            }
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (c == ',' && !inQuotes) {
            if (!quoted)
                chopSpaces();
            isList = true;
            list.append(QString(out, length));
            length = 0;
            quoted = false;
            ++i;
            skipSpaces();
        } else {
            // A comma inside quotes is text like any other, so the run goes on over it.
            qsizetype end = i + 1;
            bool ascii = static_cast<unsigned char>(c) < 0x80;
            for (; end < size; ++end) {
                const char b = bytes[end];
                if (b == '\\' || b == '"' || (b == ',' && !inQuotes))
                    break;
                ascii = ascii && static_cast<unsigned char>(b) < 0x80;
            }
            const QByteArrayView run = bytes.sliced(i, end - i);
            // The decoder sees the first run, where it drops a byte order mark as QSettings'
            // does; later runs of plain ASCII are copied without it.
            if (ascii && decoding) {
                for (const char b : run)
                    out[length++] = QLatin1Char(b);
            } else {
                length = toUtf16.appendToBuffer(out + length, run) - out;
                utf8 = utf8 && !cutShort(run);
                decoding = true;
            }
            i = end;
        }
    }
    if (chopAtEnd && !quoted)
        chopSpaces();
    utf8 = utf8 && !toUtf16.hasError();
    text.truncate(length);
    if (!isList)
        return {text};
    list.append(text);
    return list;
}

} // namespace

std::optional<QString> IniFile::decodeValue(QByteArrayView bytes, bool* utf8)
{
    bool valid = true;
    const QStringList texts = unescapeValue(bytes, valid);
    if (utf8)
        *utf8 = valid;
    if (texts.size() > 1)
        return texts.join(QStringLiteral(", "));
    const QString& text = texts.first();
    if (!text.startsWith(u'@'))
        return text;
    // QSettings marks texts of its own with a leading "@".
    if (text.endsWith(u')')) {
        if (text.startsWith(QLatin1String("@String(")))
            return text.sliced(8).chopped(1);
        if (text.startsWith(QLatin1String("@ByteArray(")))
            return QString::fromUtf8(text.sliced(11).chopped(1).toLatin1());
        if (text == QLatin1String("@Invalid()"))
            return std::nullopt;
        if (text.startsWith(QLatin1String("@Variant("))) {
            QByteArray data = text.sliced(9).chopped(1).toLatin1();
            QDataStream stream(&data, QIODevice::ReadOnly);
            stream.setVersion(QDataStream::Qt_4_0);
            QVariant variant;
            stream >> variant;
            return variant.toString();
        }
    }
    if (text.startsWith(QLatin1String("@@")))
        return text.sliced(1);
    return text;
}

namespace {

// Characters that go into the file as they are (UTF-8 beyond ASCII).
bool plain(char16_t ch)
{
    return ch >= 0x20 && ch != '"' && ch != '\\';
}

// QSettings' escaping of a text value, appended to `bytes`.
void appendValue(QByteArray& bytes, const QString& value)
{
    // QSettings' own markers: a text holding a NUL is wrapped, a leading "@" doubled.
    QString text = value;
    if (text.contains(QChar::Null))
        text = QStringLiteral("@String(") + text + u')';
    else if (text.startsWith(u'@'))
        text.prepend(u'@');

    // Known before the first byte, so that the opening quote need not be inserted later.
    const bool quoted = text.contains(u';') || text.contains(u',') || text.contains(u'=') ||
                        text.startsWith(u' ') || text.endsWith(u' ');
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    bytes.reserve(bytes.size() + text.size() + text.size() / 8 + 16);
    if (quoted)
        bytes += '"';
    // After "\0" and "\x.." the reader would take a following hex digit into the escape.
    bool escapeNextIfDigit = false;
    bool firstRun = true;
    bool pending = false;
    const auto* chars = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        const char16_t ch = chars[i];
        if (escapeNextIfDigit) {
            if (isHexDigit(ch)) {
                bytes += "\\x" + QByteArray::number(ch, 16);
                ++i;
                continue;
            }
            escapeNextIfDigit = false;
        }
        // QSettings' reader drops a byte order mark that starts the first run of text.
        if (ch == 0xFEFF && firstRun) {
            bytes += "\\xfeff";
            escapeNextIfDigit = true;
            ++i;
            continue;
        }
        if (plain(ch)) {
            qsizetype end = i + 1;
            bool ascii = ch < 0x80;
            for (; end < size && plain(chars[end]); ++end)
                ascii = ascii && chars[end] < 0x80;
            const QStringView run(chars + i, end - i);
            const qsizetype used = bytes.size();
            const qsizetype needed = used + toUtf8.requiredSpace(run.size());
            if (needed > bytes.capacity())
                bytes.reserve(std::max(needed, bytes.capacity() + bytes.capacity() / 2));
            bytes.resize(needed);
            // ASCII is copied as it is, unless a lone surrogate waits in the encoder.
            if (ascii && !pending) {
                char* out = bytes.data() + used;
                for (const QChar c : run)
                    *out++ = char(c.unicode());
                bytes.truncate(used + run.size());
            } else {
                bytes.truncate(toUtf8.appendToBuffer(bytes.data() + used, run) - bytes.constData());
                pending = run.back().isHighSurrogate();
            }
            firstRun = false;
            i = end;
            continue;
        }
        ++i;
        switch (ch) {
        case '\0':
            bytes += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            bytes += "\\a";
            break;
        case '\b':
            bytes += "\\b";
            break;
        case '\f':
            bytes += "\\f";
            break;
        case '\n':
            bytes += "\\n";
            break;
        case '\r':
            bytes += "\\r";
            break;
        case '\t':
            bytes += "\\t";
            break;
        case '\v':
            bytes += "\\v";
            break;
        case '"':
        case '\\':
            bytes += '\\';
            bytes += char(ch);
            break;
        default: // the other control characters
            bytes += "\\x" + QByteArray::number(ch, 16);
            escapeNextIfDigit = true;
        }
    }
    if (quoted)
        bytes += '"';
}

} // namespace

QByteArray IniFile::encodeValue(const QString& text)
{
    QByteArray bytes;
    appendValue(bytes, text);
    return bytes;
}

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
                appendValue(entry.value, entry.text.value_or(QString()));
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
            appendValue(entry.value, text);
            entry.text = text;
            return;
        }
    }
    Entry entry{key, escapeKey(key) + '=', QByteArray(), text};
    appendValue(entry.value, text);
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
