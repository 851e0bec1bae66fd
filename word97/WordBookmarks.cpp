#include "word97/WordBookmarks.h"

#include "app/Failure.h"
#include "word97/WordFile.h"

#include <limits>

namespace lumarel {

using namespace wordfile;

namespace {

constexpr int kFbkfSize = 4;

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

QList<WordBookmark> readBookmarks(const QString& path)
{
    const WordFile file = openWordFile(path);
    const Fib& fib = file.fib;

    const Bytes sttb = tablePart(file, kSttbfBkmk, QStringLiteral("bookmark name table"));
    const Bytes bkf = tablePart(file, kPlcfBkf, QStringLiteral("bookmark start table"));
    const Bytes bkl = tablePart(file, kPlcfBkl, QStringLiteral("bookmark end table"));
    const Bytes txbx = tablePart(file, kPlcftxbxTxt, QStringLiteral("text box table"));

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
    return readOrFail(QStringLiteral("bookmarks"), path, readBookmarks);
}

} // namespace lumarel
