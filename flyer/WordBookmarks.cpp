// GLib's headers come before Qt's: they use names that Qt defines as macros.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include "flyer/WordBookmarks.h"

#include "app/Failure.h"

#include <QFile>

#include <limits>
#include <memory>
#include <mutex>

namespace lumarel {

namespace {

// Larger streams are not a flyer template; refusing them keeps a stray file from costing memory.
constexpr qint64 kMaxStreamSize = 64 * 1024 * 1024;
// The file information block of every Word version up to 2007 fits in this many bytes.
constexpr qint64 kMaxFibSize = 8192;

constexpr quint16 kWordSignature = 0xA5EC;
constexpr quint16 kWord97Version = 0xC1;
constexpr quint16 kEncryptedFlag = 0x0100;
constexpr quint16 kTableStreamFlag = 0x0200;

// Positions of the counts and of the fc/lcb pairs, in units of their own fields.
enum LongIndex
{
    kCcpText = 3,
    kCcpFtn,
    kCcpHdd,
    kCcpMcr,
    kCcpAtn,
    kCcpEdn,
    kCcpTxbx,
    kLongCount97 = 22,
};
enum PairIndex
{
    kSttbfBkmk = 21,
    kPlcfBkf = 22,
    kPlcfBkl = 23,
    kPlcftxbxTxt = 56,
    kPairCount97 = 93,
};

constexpr int kFbkfSize = 4;
constexpr int kFtxbxsSize = 22;
constexpr int kFtxbxsReusableOffset = 8;

// The cause of a failure, turned into the user's message with the file name by the caller.
struct Damage
{
    QString cause;
};

struct GObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GPtr = std::unique_ptr<T, GObjectUnref>;

struct GErrorFree
{
    void operator()(GError* error) const { g_error_free(error); }
};

// Bounds-checked little-endian access to a stream's bytes: any read outside them is damage.
class Bytes
{
public:
    Bytes(QByteArray bytes, QString what) : m_bytes(std::move(bytes)), m_what(std::move(what)) {}

    qint64 size() const { return m_bytes.size(); }

    quint16 u16(qint64 offset) const
    {
        require(offset, 2);
        return quint16(byte(offset) | byte(offset + 1) << 8);
    }

    quint32 u32(qint64 offset) const
    {
        require(offset, 4);
        return quint32(u16(offset)) | quint32(u16(offset + 2)) << 16;
    }

    QString utf16(qint64 offset, int count) const
    {
        require(offset, 2 * qint64(count));
        QString text(count, Qt::Uninitialized);
        for (int i = 0; i < count; ++i)
            text[i] = QChar(u16(offset + 2 * i));
        return text;
    }

    void require(qint64 offset, qint64 length) const
    {
        if (offset < 0 || length < 0 || offset > size() || length > size() - offset)
            throw Damage{QStringLiteral("its %1 is cut short").arg(m_what)};
    }

private:
    uint byte(qint64 offset) const { return uchar(m_bytes.at(offset)); }

    QByteArray m_bytes;
    QString m_what;
};

// The whole stream, or only its first prefixSize bytes.
QByteArray readStream(GsfInfile* file, const char* name, qint64 prefixSize = -1)
{
    GPtr<GsfInput> stream(gsf_infile_child_by_name(file, name));
    if (!stream)
        throw Damage{QStringLiteral("it has no %1 stream").arg(QLatin1String(name))};
    const qint64 size = gsf_input_size(stream.get());
    if (prefixSize < 0 && size > kMaxStreamSize)
        throw Damage{QStringLiteral("its %1 stream is too large").arg(QLatin1String(name))};
    QByteArray bytes(prefixSize < 0 ? size : qMin(size, prefixSize), Qt::Uninitialized);
    if (!bytes.isEmpty() &&
        !gsf_input_read(stream.get(), bytes.size(), reinterpret_cast<guint8*>(bytes.data())))
        throw Damage{QStringLiteral("its %1 stream cannot be read").arg(QLatin1String(name))};
    return bytes;
}

GPtr<GsfInfile> openCompoundFile(const QString& path)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { gsf_init(); });

    GError* rawError = nullptr;
    GPtr<GsfInput> input(gsf_input_stdio_new(QFile::encodeName(path).constData(), &rawError));
    std::unique_ptr<GError, GErrorFree> error(rawError);
    if (!input)
        throw Damage{error ? QString::fromUtf8(error->message)
                           : QStringLiteral("it cannot be opened")};
    GPtr<GsfInfile> file(gsf_infile_msole_new(input.get(), &rawError));
    error.reset(rawError);
    if (!file)
        throw Damage{error ? QStringLiteral("it is not an OLE compound file (%1)")
                                 .arg(QString::fromUtf8(error->message))
                           : QStringLiteral("it is not an OLE compound file")};
    return file;
}

// The parts of the file information block the bookmark table needs.
struct Fib
{
    bool tableIs1Table = false;
    qint64 ccp[kLongCount97] = {};
    quint32 fc[kPairCount97] = {};
    quint32 lcb[kPairCount97] = {};
};

Fib readFib(const Bytes& doc)
{
    if (doc.u16(0x00) != kWordSignature)
        throw Damage{QStringLiteral("it is not a Word document")};
    if (doc.u16(0x02) < kWord97Version)
        throw Damage{QStringLiteral("it was written by a Word older than Word 97")};
    const quint16 flags = doc.u16(0x0A);
    if (flags & kEncryptedFlag)
        throw Damage{QStringLiteral("it is encrypted")};

    Fib fib;
    fib.tableIs1Table = flags & kTableStreamFlag;

    // After the fixed 32-byte base, three arrays follow, each after its own count.
    qint64 offset = 0x20;
    const quint16 shortCount = doc.u16(offset);
    offset += 2 + 2 * qint64(shortCount);
    const quint16 longCount = doc.u16(offset);
    offset += 2;
    if (longCount < kLongCount97)
        throw Damage{QStringLiteral("its file information block is too short")};
    for (int i = 0; i < kLongCount97; ++i)
        fib.ccp[i] = doc.u32(offset + 4 * i);
    offset += 4 * qint64(longCount);
    const quint16 pairCount = doc.u16(offset);
    offset += 2;
    if (pairCount < kPairCount97)
        throw Damage{QStringLiteral("its file information block is too short")};
    for (int i = 0; i < kPairCount97; ++i) {
        fib.fc[i] = doc.u32(offset + 8 * i);
        fib.lcb[i] = doc.u32(offset + 8 * i + 4);
    }
    return fib;
}

// One table of the table stream, as a view of its own so that reads cannot leave it.
Bytes tablePart(const QByteArray& table, const Fib& fib, PairIndex index, const QString& what)
{
    const qint64 fc = fib.fc[index];
    const qint64 lcb = fib.lcb[index];
    if (fc > table.size() || lcb > table.size() - fc)
        throw Damage{QStringLiteral("its %1 lies outside the table stream").arg(what)};
    return Bytes(table.mid(fc, lcb), what);
}

QStringList readNames(const Bytes& sttb)
{
    if (sttb.size() == 0)
        return {};
    if (sttb.u16(0) != 0xFFFF)
        throw Damage{QStringLiteral("its bookmark names are not in Unicode")};
    const int count = sttb.u16(2);
    const int extra = sttb.u16(4);
    QStringList names;
    qint64 offset = 6;
    for (int i = 0; i < count; ++i) {
        const int length = sttb.u16(offset);
        names.append(sttb.utf16(offset + 2, length));
        offset += 2 + 2 * qint64(length) + extra;
    }
    return names;
}

// A PLC: count + 1 character positions, then count data elements of dataSize bytes.
class Plc
{
public:
    Plc(const Bytes& bytes, int dataSize, const QString& what) : m_bytes(bytes)
    {
        const qint64 size = bytes.size();
        if (size == 0)
            return;
        if (size < 4 || (size - 4) % (4 + dataSize) != 0)
            throw Damage{QStringLiteral("its %1 has a wrong size").arg(what)};
        m_count = int((size - 4) / (4 + dataSize));
        m_dataSize = dataSize;
    }

    int count() const { return m_count; }
    qint64 cp(int i) const { return m_bytes.u32(4 * qint64(i)); }
    qint64 dataOffset(int i) const { return 4 * (qint64(m_count) + 1) + qint64(i) * m_dataSize; }
    const Bytes& bytes() const { return m_bytes; }

private:
    const Bytes& m_bytes;
    int m_count = 0;
    int m_dataSize = 0;
};

// Text boxes in the order of their texts: where each starts inside the text-box story.
struct TextBoxRange
{
    qint64 start;
    qint64 end;
    int index; // -1 for a spare entry that holds no text box
};

QList<TextBoxRange> readTextBoxes(const Bytes& plcBytes)
{
    const Plc plc(plcBytes, kFtxbxsSize, QStringLiteral("text box table"));
    QList<TextBoxRange> ranges;
    int index = 0;
    for (int i = 0; i < plc.count(); ++i) {
        // The last entry is always a spare one, whatever its flag says.
        const bool spare =
            i == plc.count() - 1 || plcBytes.u16(plc.dataOffset(i) + kFtxbxsReusableOffset) != 0;
        ranges.append({plc.cp(i), plc.cp(i + 1), spare ? -1 : index});
        if (!spare)
            ++index;
    }
    return ranges;
}

QList<WordBookmark> readBookmarks(const QString& path)
{
    const GPtr<GsfInfile> file = openCompoundFile(path);
    const Bytes doc(readStream(file.get(), "WordDocument", kMaxFibSize),
                    QStringLiteral("file information block"));
    const Fib fib = readFib(doc);
    const QByteArray table = readStream(file.get(), fib.tableIs1Table ? "1Table" : "0Table");

    const Bytes sttb = tablePart(table, fib, kSttbfBkmk, QStringLiteral("bookmark name table"));
    const Bytes bkf = tablePart(table, fib, kPlcfBkf, QStringLiteral("bookmark start table"));
    const Bytes bkl = tablePart(table, fib, kPlcfBkl, QStringLiteral("bookmark end table"));
    const Bytes txbx = tablePart(table, fib, kPlcftxbxTxt, QStringLiteral("text box table"));

    const QStringList names = readNames(sttb);
    const Plc starts(bkf, kFbkfSize, QStringLiteral("bookmark start table"));
    const Plc ends(bkl, 0, QStringLiteral("bookmark end table"));
    if (starts.count() != names.size())
        throw Damage{QStringLiteral("its bookmark tables disagree on the number of bookmarks")};
    const QList<TextBoxRange> boxes = readTextBoxes(txbx);

    const qint64 mainEnd = fib.ccp[kCcpText];
    const qint64 boxStoryStart = mainEnd + fib.ccp[kCcpFtn] + fib.ccp[kCcpHdd] + fib.ccp[kCcpMcr] +
                                 fib.ccp[kCcpAtn] + fib.ccp[kCcpEdn];
    const qint64 boxStoryEnd = boxStoryStart + fib.ccp[kCcpTxbx];

    QList<WordBookmark> bookmarks;
    for (int i = 0; i < starts.count(); ++i) {
        const int endIndex = starts.bytes().u16(starts.dataOffset(i));
        if (endIndex >= ends.count())
            throw Damage{QStringLiteral("the end of bookmark \"%1\" is missing").arg(names[i])};
        const qint64 start = starts.cp(i);
        const qint64 end = ends.cp(endIndex);
        if (end < start || end > std::numeric_limits<int>::max())
            throw Damage{QStringLiteral("the place of bookmark \"%1\" is damaged").arg(names[i])};

        WordBookmark mark{names[i], Story::Other, -1, int(start), int(end)};
        if (start < mainEnd) {
            mark.story = Story::Main;
        } else if (start >= boxStoryStart && start < boxStoryEnd) {
            const qint64 inStory = start - boxStoryStart;
            for (const TextBoxRange& box : boxes) {
                if (box.index >= 0 && inStory >= box.start && inStory < box.end) {
                    mark.story = Story::TextBox;
                    mark.textBox = box.index;
                    mark.start = int(inStory - box.start);
                    mark.end = int(qMin(end - boxStoryStart, box.end) - box.start);
                }
            }
        }
        bookmarks.append(mark);
    }
    return bookmarks;
}

} // namespace

QList<WordBookmark> readWordBookmarks(const QString& path)
{
    try {
        return readBookmarks(path);
    } catch (const Damage& damage) {
        throw Failure(
            QStringLiteral("Cannot read the bookmarks of \"%1\": %2.").arg(path, damage.cause));
    }
}

} // namespace lumarel
