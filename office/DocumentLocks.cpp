#include "office/DocumentLocks.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace lumarel {

namespace {

// The office's lock file beside a document: ",user,host,date,profile URL;".
QString lockFile(const QString& document)
{
    const QFileInfo info(document);
    return info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#');
}

QStringList lockFields(const QString& document)
{
    QFile lock(lockFile(document));
    if (!lock.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(lock.read(4096)).trimmed();
    if (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    return text.split(QLatin1Char(','));
}

} // namespace

QString lockOwner(const QString& document)
{
    const QStringList fields = lockFields(document);
    if (fields.size() < 4)
        return QString();
    return QStringLiteral("%1 on %2 since %3").arg(fields[1], fields[2], fields[3]);
}

void removeStaleLock(const QString& document)
{
    const QStringList fields = lockFields(document);
    if (fields.size() < 5)
        return;
    const QUrl profile(fields[4]);
    if (profile.isLocalFile() && !QFileInfo::exists(profile.toLocalFile()))
        QFile::remove(lockFile(document));
}

void removeOwnLock(const QString& document, const QString& profileUrl)
{
    const QStringList fields = lockFields(document);
    if (fields.size() >= 5 && QUrl(fields[4]).toLocalFile() == QUrl(profileUrl).toLocalFile())
        QFile::remove(lockFile(document));
}

} // namespace lumarel
