#include "word97/WordParagraphs.h"

#include "app/Failure.h"
#include "word97/WordFile.h"

#include <algorithm>

namespace lumarel {

using namespace wordfile;

namespace {

constexpr qint64 kPageSize = 512;
constexpr quint32 kPageNumberMask = 0x3FFFFF;
constexpr int kBxPapSize = 13;
constexpr int kNoStyle = 0x0FFF;
constexpr int kParagraphStyle = 1;
constexpr int kCharacterStyle = 2;
constexpr int kMaxStyleDepth = 16;
constexpr quint16 kSprmTDefTable = 0xD608;
// Word's ids of its built-in styles.
constexpr int kNormal = 0;
constexpr int kHeading1 = 1;
constexpr int kHeading9 = 9;
constexpr int kBodyText = 66;
constexpr quint16 kSprmPChgTabs = 0xC615;

// The size of the sprm's operand at `at`, its size byte (for the variable ones) left out;
// `skip` is set to the bytes that come before the operand itself.
qint64 operandSize(quint16 sprm, const Bytes& bytes, qint64 at, qint64& skip)
{
    skip = 0;
    switch (sprm >> 13) {
    case 0:
    case 1:
        return 1;
    case 2:
    case 4:
    case 5:
        return 2;
    case 3:
        return 4;
    case 7:
        return 3;
    default:
        break;
    }
    if (sprm == kSprmTDefTable) {
        skip = 2;
        return qMax(0, bytes.u16(at) - 1);
    }
    skip = 1;
    const quint8 size = bytes.u8(at);
    // A tab change too long for its size byte gives its two lists' lengths instead.
    if (sprm == kSprmPChgTabs && size == 255) {
        const qint64 deleted = bytes.u8(at + 1);
        return 1 + 4 * deleted + 1 + 3 * bytes.u8(at + 2 + 4 * deleted);
    }
    return size;
}

// A run of text, by file offsets, with the property modifiers the page gives it.
struct Run
{
    qint64 fcStart;
    qint64 fcEnd;
    int style;
    QByteArray sprms;
};

// The runs of every formatted disk page of a bin table: paragraphs or characters.
QList<Run> readRuns(const WordFile& file, PairIndex table, bool paragraphs)
{
    const QString what = paragraphs ? QStringLiteral("paragraph formatting")
                                    : QStringLiteral("character formatting");
    const Bytes bin = tablePart(file, table, what);
    const Plc plc(bin, 4, what);
    const Bytes document(file.document, what);
    QList<Run> runs;
    for (int i = 0; i < plc.count(); ++i) {
        const qint64 page = qint64(bin.u32(plc.dataOffset(i)) & kPageNumberMask) * kPageSize;
        document.require(page, kPageSize);
        const Bytes fkp(file.document.mid(page, kPageSize), what);
        const int count = fkp.u8(kPageSize - 1);
        const qint64 data = 4 * (qint64(count) + 1);
        for (int k = 0; k < count; ++k) {
            Run run{fkp.u32(4 * k), fkp.u32(4 * (k + 1)), 0, {}};
            const qint64 at = 2 * qint64(fkp.u8(paragraphs ? data + kBxPapSize * k : data + k));
            if (at != 0 && paragraphs) {
                // A size byte of 0 is followed by the real one, counting words.
                const int size = fkp.u8(at);
                const qint64 start = size ? at + 1 : at + 2;
                const qint64 length = size ? 2 * qint64(size) - 1 : 2 * qint64(fkp.u8(at + 1));
                fkp.require(start, qMax<qint64>(length, 2));
                run.style = fkp.u16(start);
                run.sprms = QByteArray(file.document.constData() + page + start + 2,
                                       qMax<qint64>(0, length - 2));
            } else if (at != 0) {
                const int length = fkp.u8(at);
                fkp.require(at + 1, length);
                run.sprms = QByteArray(file.document.constData() + page + at + 1, length);
            }
            runs << run;
        }
    }
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.fcStart < b.fcStart; });
    return runs;
}

const Run* runAt(const QList<Run>& runs, qint64 fc)
{
    auto it = std::upper_bound(runs.cbegin(), runs.cend(), fc,
                               [](qint64 value, const Run& run) { return value < run.fcStart; });
    if (it == runs.cbegin())
        return nullptr;
    --it;
    return fc < it->fcEnd ? &*it : nullptr;
}

QList<WordStyle> readStyles(const WordFile& file)
{
    const Bytes sheet = tablePart(file, kStshf, QStringLiteral("style sheet"));
    const qint64 headerSize = sheet.u16(0);
    const int count = sheet.u16(2);
    const int baseSize = sheet.u16(4);
    QList<WordStyle> styles;
    qint64 offset = 2 + headerSize;
    for (int i = 0; i < count; ++i) {
        const qint64 size = sheet.u16(offset);
        const qint64 std = offset + 2;
        offset = std + size;
        WordStyle style;
        if (size == 0) {
            styles << style;
            continue;
        }
        sheet.require(std, size);
        style.builtInId = sheet.u16(std) & 0x0FFF;
        const int kind = sheet.u16(std + 2) & 0x000F;
        const int base = sheet.u16(std + 2) >> 4;
        style.base = base == kNoStyle ? -1 : base;
        const int nameLength = sheet.u16(std + baseSize);
        style.name = sheet.utf16(std + baseSize + 2, nameLength);
        qint64 upx = std + baseSize + 2 + 2 * (qint64(nameLength) + 1);
        const auto take = [&](qint64 skip) {
            upx += (upx - std) % 2;
            const qint64 length = sheet.u16(upx);
            sheet.require(upx + 2, length);
            QByteArray bytes;
            if (length > skip)
                bytes = QByteArray(file.table.constData() + file.fib.fc[kStshf] + upx + 2 + skip,
                                   length - skip);
            upx += 2 + length;
            return bytes;
        };
        if (upx < offset && kind == kParagraphStyle) {
            style.paragraphSprms = take(2);
            if (upx < offset)
                style.characterSprms = take(0);
        } else if (upx < offset && kind == kCharacterStyle) {
            style.characterSprms = take(0);
        }
        styles << style;
    }
    return styles;
}

// The story a paragraph starting at `cp` belongs to, and its text box if in one.
void placeParagraph(const Fib& fib, const QList<TextBoxRange>& boxes, qint64 cp,
                    WordParagraph& paragraph)
{
    paragraph.story = Story::Other;
    if (cp < fib.ccp[kCcpText]) {
        paragraph.story = Story::Main;
        return;
    }
    qint64 start = fib.ccp[kCcpText];
    for (int i = kCcpFtn; i < kCcpTxbx; ++i)
        start += fib.ccp[i];
    if (cp < start || cp >= start + fib.ccp[kCcpTxbx])
        return;
    paragraph.story = Story::TextBox;
    for (const TextBoxRange& box : boxes)
        if (box.index >= 0 && cp - start >= box.start && cp - start < box.end)
            paragraph.textBox = box.index;
}

WordParagraphs read(const QString& path)
{
    const WordFile file = openWordFile(path, true);
    WordParagraphs result;
    result.styles = readStyles(file);
    const QList<Run> paragraphRuns = readRuns(file, kPlcfBtePapx, true);
    const QList<Run> characterRuns = readRuns(file, kPlcfBteChpx, false);
    const QList<TextBoxRange> boxes =
        readTextBoxes(tablePart(file, kPlcftxbxTxt, QStringLiteral("text box table")));
    WordParagraph current;
    qint64 firstFc = -1;
    for (const Piece& piece : readPieces(file)) {
        const QString text = pieceText(file, piece);
        for (qint64 cp = piece.cpStart; cp < piece.cpEnd; ++cp) {
            const QChar c = text[cp - piece.cpStart];
            if (firstFc < 0) {
                firstFc = piece.fcOf(cp);
                placeParagraph(file.fib, boxes, cp, current);
            }
            if (c != u'\r' && c != QChar(0x07)) {
                current.text += c;
                continue;
            }
            if (const Run* run = runAt(paragraphRuns, piece.fcOf(cp))) {
                current.style = run->style;
                current.paragraphSprms = run->sprms;
            }
            if (const Run* run = runAt(characterRuns, firstFc))
                current.characterSprms = run->sprms;
            result.paragraphs << current;
            current = WordParagraph();
            firstFc = -1;
        }
    }
    return result;
}

} // namespace

std::optional<QByteArray> findSprm(const QByteArray& sprms, quint16 sprm)
{
    const Bytes bytes(sprms, QStringLiteral("formatting"));
    std::optional<QByteArray> found;
    try {
        qint64 at = 0;
        while (at + 2 <= bytes.size()) {
            const quint16 code = bytes.u16(at);
            qint64 skip = 0;
            const qint64 size = operandSize(code, bytes, at + 2, skip);
            bytes.require(at + 2 + skip, size);
            if (code == sprm)
                found = sprms.mid(at + 2 + skip, size);
            at += 2 + skip + size;
        }
    } catch (const Damage&) {
        // A list cut short ends at its last whole modifier.
    }
    return found;
}

int borderSpacePoints(quint16 sprm, const QByteArray& operand)
{
    // The older form holds width, type, colour index, then the space; the newer one a
    // four-byte colour first.
    const int at = sprm == kSprmPBrcBottom80 ? 3 : 6;
    return operand.size() > at ? quint8(operand[at]) & 0x1F : 0;
}

QString WordParagraphs::styleName(const WordParagraph& paragraph) const
{
    return paragraph.style >= 0 && paragraph.style < styles.size() ? styles[paragraph.style].name
                                                                   : QString();
}

QString WordParagraphs::officeStyleName(int index) const
{
    if (index < 0 || index >= styles.size())
        return QString();
    const WordStyle& style = styles[index];
    if (style.builtInId == kNormal)
        return QStringLiteral("Standard");
    if (style.builtInId >= kHeading1 && style.builtInId <= kHeading9)
        return QStringLiteral("Heading %1").arg(style.builtInId);
    if (style.builtInId == kBodyText)
        return QStringLiteral("Text body");
    return style.name;
}

std::optional<QByteArray> WordParagraphs::styleProperty(int style, quint16 sprm,
                                                        bool character) const
{
    for (int depth = 0; depth < kMaxStyleDepth && style >= 0 && style < styles.size(); ++depth) {
        const WordStyle& current = styles[style];
        if (auto found =
                findSprm(character ? current.characterSprms : current.paragraphSprms, sprm))
            return found;
        style = current.base;
    }
    return std::nullopt;
}

std::optional<QByteArray> WordParagraphs::paragraphProperty(const WordParagraph& paragraph,
                                                            quint16 sprm) const
{
    if (auto found = findSprm(paragraph.paragraphSprms, sprm))
        return found;
    return styleProperty(paragraph.style, sprm, false);
}

std::optional<QByteArray> WordParagraphs::characterProperty(const WordParagraph& paragraph,
                                                            quint16 sprm) const
{
    if (auto found = findSprm(paragraph.characterSprms, sprm))
        return found;
    return styleProperty(paragraph.style, sprm, true);
}

WordParagraphs readWordParagraphs(const QString& path)
{
    try {
        return read(path);
    } catch (const Damage& damage) {
        throw Failure(
            QStringLiteral("Cannot read the paragraphs of \"%1\": %2.").arg(path, damage.cause));
    }
}

} // namespace lumarel
