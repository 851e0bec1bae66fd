#include "flyer/WordText.h"

#include "app/Failure.h"
#include "flyer/WordFile.h"

namespace lumarel {

using namespace wordfile;

namespace {

constexpr quint8 kClxProperties = 0x01;
constexpr quint8 kClxPieces = 0x02;
constexpr int kPieceSize = 8;
constexpr quint32 kCompressed = 0x40000000;
constexpr quint32 kPlaceMask = 0x3FFFFFFF;

QString readMainText(const QString& path)
{
    const WordFile file = openWordFile(path, true);
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
    const Plc pieces(pieceBytes, kPieceSize, QStringLiteral("piece table"));

    const Bytes document(file.document, QStringLiteral("text"));
    const qint64 mainEnd = file.fib.ccp[kCcpText];
    QString text;
    for (int i = 0; i < pieces.count() && text.size() < mainEnd; ++i) {
        const qint64 count = pieces.cp(i + 1) - pieces.cp(i);
        if (count < 0 || count > document.size())
            throw Damage{QStringLiteral("its piece table is damaged")};
        const quint32 place = pieceBytes.u32(pieces.dataOffset(i) + 2);
        if (place & kCompressed) {
            // One byte a character, at half the given offset; Latin-1 serves for the checks
            // this text is read for.
            const qint64 at = (place & kPlaceMask) / 2;
            for (qint64 k = 0; k < count; ++k)
                text += QChar(document.u8(at + k));
        } else {
            text += document.utf16(place & kPlaceMask, int(count));
        }
    }
    return text.left(mainEnd);
}

} // namespace

QString readWordMainText(const QString& path)
{
    return readOrFail(QStringLiteral("text"), path, readMainText);
}

} // namespace lumarel
