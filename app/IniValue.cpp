#include "app/IniValue.h"

#include "app/IniFile.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QVariant>

#include <algorithm>

namespace lumarel {

namespace {

bool isHexDigit(char16_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
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

// Characters that go into the file as they are (UTF-8 beyond ASCII).
bool plain(char16_t ch)
{
    return ch >= 0x20 && ch != '"' && ch != '\\';
}

} // namespace

namespace ini {

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

} // namespace ini

std::optional<QString> IniFile::decodeValue(QByteArrayView bytes, bool* utf8)
{
    bool valid = true;
    const QStringList texts = ini::unescapeValue(bytes, valid);
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

} // namespace lumarel
