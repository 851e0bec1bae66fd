// GLib's headers come before Qt's: they use names that Qt defines as macros.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include "word97/WordFile.h"

#include <QFile>

#include <mutex>

namespace lumarel::wordfile {

namespace {

constexpr quint16 kWordSignature = 0xA5EC;
constexpr quint16 kWord97Version = 0xC1;
constexpr quint16 kEncryptedFlag = 0x0100;
constexpr quint16 kTableStreamFlag = 0x0200;

struct GErrorFree
{
    void operator()(GError* error) const { g_error_free(error); }
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

} // namespace

QString Bytes::utf16(qint64 offset, int count) const
{
    require(offset, 2 * qint64(count));
    QString text(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        text[i] = QChar(u16(offset + 2 * i));
    return text;
}

WordFile openWordFile(const QString& path, bool withDocumentStream)
{
    const GPtr<GsfInfile> file = openCompoundFile(path);
    const Bytes doc(readStream(file.get(), "WordDocument", kMaxFibSize),
                    QStringLiteral("file information block"));
    WordFile word{readFib(doc), {}, {}};
    if (withDocumentStream)
        word.document = readStream(file.get(), "WordDocument");
    word.table = readStream(file.get(), word.fib.tableIs1Table ? "1Table" : "0Table");
    return word;
}

Bytes tablePart(const WordFile& file, PairIndex index, const QString& what)
{
    const qint64 fc = file.fib.fc[index];
    const qint64 lcb = file.fib.lcb[index];
    if (fc > file.table.size() || lcb > file.table.size() - fc)
        throw Damage{QStringLiteral("its %1 lies outside the table stream").arg(what)};
    return Bytes(file.table.mid(fc, lcb), what);
}

Plc::Plc(const Bytes& bytes, int dataSize, const QString& what) : m_bytes(bytes)
{
    const qint64 size = bytes.size();
    if (size == 0)
        return;
    if (size < 4 || (size - 4) % (4 + dataSize) != 0)
        throw Damage{QStringLiteral("its %1 has a wrong size").arg(what)};
    m_count = int((size - 4) / (4 + dataSize));
    m_dataSize = dataSize;
}

QList<TextBoxRange> readTextBoxes(const Bytes& plcBytes)
{
    const Plc plc(plcBytes, kFtxbxsSize, QStringLiteral("text box table"));
    QList<TextBoxRange> ranges;
    int index = 0;
    for (int i = 0; i < plc.count(); ++i) {
        // The last entry is always a spare one, whatever its flag says.
        const qint64 data = plc.dataOffset(i);
        const bool spare = i == plc.count() - 1 || plcBytes.u16(data + kFtxbxsReusableOffset) != 0;
        ranges.append({plc.cp(i), plc.cp(i + 1), spare ? -1 : index,
                       plcBytes.u32(data + kFtxbxsShapeIdOffset)});
        if (!spare)
            ++index;
    }
    return ranges;
}

namespace {

constexpr quint8 kClxProperties = 0x01;
constexpr quint8 kClxPieces = 0x02;
constexpr int kPieceSize = 8;
constexpr quint32 kCompressed = 0x40000000;
constexpr quint32 kPlaceMask = 0x3FFFFFFF;

} // namespace

QList<Piece> readPieces(const WordFile& file)
{
    const Bytes clx = tablePart(file, kClx, QStringLiteral("piece table"));
    qint64 offset = 0;
    // Property modifiers come first, each after its own length.
    while (clx.u8(offset) == kClxProperties)
        offset += 3 + clx.u16(offset + 1);
    if (clx.u8(offset) != kClxPieces)
        throw Damage{QStringLiteral("its piece table is damaged")};
    const qint64 length = clx.u32(offset + 1);
    clx.require(offset + 5, length);
    const Bytes pieceBytes(file.table.mid(file.fib.fc[kClx] + offset + 5, length),
                           QStringLiteral("piece table"));
    const Plc plc(pieceBytes, kPieceSize, QStringLiteral("piece table"));
    QList<Piece> pieces;
    for (int i = 0; i < plc.count(); ++i) {
        const qint64 count = plc.cp(i + 1) - plc.cp(i);
        if (count < 0 || count > file.document.size())
            throw Damage{QStringLiteral("its piece table is damaged")};
        const quint32 place = pieceBytes.u32(plc.dataOffset(i) + 2);
        // A compressed piece's offset is given doubled.
        const bool compressed = place & kCompressed;
        pieces.append({plc.cp(i), plc.cp(i + 1),
                       compressed ? qint64(place & kPlaceMask) / 2 : qint64(place & kPlaceMask),
                       compressed});
    }
    return pieces;
}

QString pieceText(const WordFile& file, const Piece& piece)
{
    const Bytes document(file.document, QStringLiteral("text"));
    const qint64 count = piece.cpEnd - piece.cpStart;
    if (!piece.compressed)
        return document.utf16(piece.fc, int(count));
    document.require(piece.fc, count);
    return QString::fromLatin1(file.document.constData() + piece.fc, count);
}

} // namespace lumarel::wordfile
