#include "word97/WordText.h"

#include "app/Failure.h"
#include "word97/WordFile.h"

namespace lumarel {

using namespace wordfile;

namespace {

QString readMainText(const QString& path)
{
    const WordFile file = openWordFile(path, true);
    const qint64 mainEnd = file.fib.ccp[kCcpText];
    QString text;
    for (const Piece& piece : readPieces(file)) {
        if (text.size() >= mainEnd)
            break;
        text += pieceText(file, piece);
    }
    return text.left(mainEnd);
}

} // namespace

QString readWordMainText(const QString& path)
{
    return readOrFail(QStringLiteral("text"), path, readMainText);
}

} // namespace lumarel
