#pragma once

// GLib's headers come before Qt's: they use names that Qt defines as macros.
#include <gsf/gsf-infile.h>

#include "app/Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

// The low-level parts of the Word 97 readers: the compound file, the file information block and
// bounds-checked access to the tables. Every read outside the bytes throws Damage.
namespace lumarel::wordfile {

// The cause of a failure, turned into the user's message with the file name by the reader.
struct Damage
{
    QString cause;
};

struct GObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GPtr = std::unique_ptr<T, GObjectUnref>;

// Larger streams are not a flyer template; refusing them keeps a stray file from costing memory.
constexpr qint64 kMaxStreamSize = 64 * 1024 * 1024;
// The file information block of every Word version up to 2007 fits in this many bytes.
constexpr qint64 kMaxFibSize = 8192;

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
    kStshf = 1,
    kPlcfBteChpx = 12,
    kPlcfBtePapx = 13,
    kSttbfBkmk = 21,
    kPlcfBkf = 22,
    kPlcfBkl = 23,
    kClx = 33,
    kPlcSpaMom = 40,
    kDggInfo = 50,
    kPlcftxbxTxt = 56,
    kPairCount97 = 93,
};

constexpr int kFtxbxsSize = 22;
constexpr int kFtxbxsReusableOffset = 8;
constexpr int kFtxbxsShapeIdOffset = 14;

// Bounds-checked little-endian access to a stream's bytes.
class Bytes
{
public:
    Bytes(QByteArray bytes, QString what) : m_bytes(std::move(bytes)), m_what(std::move(what)) {}

    qint64 size() const { return m_bytes.size(); }

    quint8 u8(qint64 offset) const
    {
        require(offset, 1);
        return quint8(m_bytes.at(offset));
    }

    quint16 u16(qint64 offset) const
    {
        require(offset, 2);
        return quint16(u8(offset) | u8(offset + 1) << 8);
    }

    quint32 u32(qint64 offset) const
    {
        require(offset, 4);
        return quint32(u16(offset)) | quint32(u16(offset + 2)) << 16;
    }

    QString utf16(qint64 offset, int count) const;

    void require(qint64 offset, qint64 length) const
    {
        if (offset < 0 || length < 0 || offset > size() || length > size() - offset)
            throw Damage{QStringLiteral("its %1 is cut short").arg(m_what)};
    }

private:
    QByteArray m_bytes;
    QString m_what;
};

// The parts of the file information block the readers need.
struct Fib
{
    bool tableIs1Table = false;
    qint64 ccp[kLongCount97] = {};
    quint32 fc[kPairCount97] = {};
    quint32 lcb[kPairCount97] = {};
};

// A Word 97 file's information block and its table stream; the whole document stream only
// when asked for.
struct WordFile
{
    Fib fib;
    QByteArray table;
    QByteArray document;
};

WordFile openWordFile(const QString& path, bool withDocumentStream = false);

// Runs a reader of `path`; damage it finds becomes the user's Failure "Cannot read the `what` of
// the file: cause."
template <typename Read> auto readOrFail(const QString& what, const QString& path, Read read)
{
    try {
        return read(path);
    } catch (const Damage& damage) {
        throw Failure(
            QStringLiteral("Cannot read the %1 of \"%2\": %3.").arg(what, path, damage.cause));
    }
}

// One table of the table stream, as a view of its own so that reads cannot leave it.
Bytes tablePart(const WordFile& file, PairIndex index, const QString& what);

// A PLC: count + 1 character positions, then count data elements of dataSize bytes.
class Plc
{
public:
    Plc(const Bytes& bytes, int dataSize, const QString& what);

    int count() const { return m_count; }
    qint64 cp(int i) const { return m_bytes.u32(4 * qint64(i)); }
    qint64 dataOffset(int i) const { return 4 * (qint64(m_count) + 1) + qint64(i) * m_dataSize; }
    const Bytes& bytes() const { return m_bytes; }

private:
    const Bytes& m_bytes;
    int m_count = 0;
    int m_dataSize = 0;
};

// Text boxes in the order of their texts: where each lies inside the text-box story.
struct TextBoxRange
{
    qint64 start;
    qint64 end;
    int index;       // -1 for a spare entry that holds no text box
    quint32 shapeId; // the shape that shows the text box
};

QList<TextBoxRange> readTextBoxes(const Bytes& plcBytes);

// One piece of the piece table: characters [cpStart, cpEnd) stand in the document stream from
// byte `fc` on, one byte each when compressed, two otherwise.
struct Piece
{
    qint64 cpStart;
    qint64 cpEnd;
    qint64 fc;
    bool compressed;

    qint64 fcOf(qint64 cp) const { return fc + (compressed ? 1 : 2) * (cp - cpStart); }
};

// The pieces in the order of their characters; needs the document stream.
QList<Piece> readPieces(const WordFile& file);
// The characters of a piece, the compressed ones taken as Latin-1.
QString pieceText(const WordFile& file, const Piece& piece);

} // namespace lumarel::wordfile
