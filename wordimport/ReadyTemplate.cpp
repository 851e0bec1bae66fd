#include "wordimport/ReadyTemplate.h"

#include "app/Failure.h"
#include "designs/FlyerTemplate.h"
#include "office/OfficeEngine.h"
#include "office/OfficeProcess.h"
#include "word97/WordParagraphs.h"
#include "wordimport/WordImportRepair.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cstdio>
#include <ctime>
#include <sys/stat.h>

namespace lumarel {

namespace {

constexpr char kPrefix[] = "template-";
constexpr char kSuffix[] = ".fodt";

// Copies of other builds are left to those builds for a week, then removed. The times come
// straight from the files: a conversion through local time would touch the process's time zone
// state, which other threads may be reading.
void removeOldCopies(const QDir& folder, const QString& current)
{
    const time_t weekAgo = time(nullptr) - 7 * 24 * 3600;
    for (const QFileInfo& copy : folder.entryInfoList(
             {QLatin1String(kPrefix) + QLatin1Char('*') + QLatin1String(kSuffix)}, QDir::Files)) {
        struct stat info;
        if (copy.absoluteFilePath() != current &&
            stat(QFile::encodeName(copy.absoluteFilePath()).constData(), &info) == 0 &&
            info.st_mtime < weekAgo)
            QFile::remove(copy.absoluteFilePath());
    }
}

// The active document, just opened and repaired, stored as the ready copy; a copy that cannot
// be stored only costs the next office the repair again.
void keepReadyCopy(OfficeEngine& office, const QString& path)
{
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        return;
    // The offices of one command may each keep one at the same moment: each writes its own.
    const QString part =
        path + QStringLiteral(".part-") + QUuid::createUuid().toString(QUuid::Id128);
    try {
        office.exportCopy(part, QStringLiteral("OpenDocument Text Flat XML"));
    } catch (const Failure&) {
        QFile::remove(part);
        return;
    }
    // Another program may have kept its own meanwhile: either one serves.
    if (::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0)
        QFile::remove(part);
    removeOldCopies(target.absoluteDir(), path);
}

} // namespace

QString readyTemplatePath(const QString& officeProgram)
{
    // This program's build decides how the template is repaired, the office's how it reads it.
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    struct stat info = {};
    stat(program.constData(), &info);
    QCryptographicHash key(QCryptographicHash::Sha1);
    key.addData(embeddedTemplate());
    key.addData(program + '\n' + QByteArray::number(qint64(info.st_size)) + ' ' +
                QByteArray::number(qint64(info.st_mtime)) + '\n');
    key.addData(officeBuildId(officeProgram).toUtf8());
    return programCacheFolder() + QLatin1Char('/') + QLatin1String(kPrefix) +
           QString::fromLatin1(key.result().toHex().left(12)) + QLatin1String(kSuffix);
}

namespace {

// Whether the file is a whole flat OpenDocument: the office would open anything else as some
// other kind of document, plain text at worst, without the bookmarks.
bool wholeFlatDocument(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 64)
        return false;
    const QByteArray head = file.read(512);
    file.seek(file.size() - 64);
    return head.startsWith("<?xml") && head.contains("<office:document") &&
           file.read(64).trimmed().endsWith("</office:document>");
}

} // namespace

void openFlyerTemplate(OfficeEngine& office, const QString& wordCopy, ImportRepair repair)
{
    const QString ready = readyTemplatePath(officeExecutable());
    if (wholeFlatDocument(ready)) {
        office.open(ready, true);
        if (repair == ImportRepair::Whole)
            removeUnusedStyles(office, wordFileStyles(readWordParagraphs(wordCopy)));
        return;
    }
    // Made anew, in place of a damaged copy too.
    openWordDocument(office, wordCopy, true);
    keepReadyCopy(office, ready);
}

} // namespace lumarel
