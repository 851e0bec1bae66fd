#include "runfiles/DocumentClaim.h"

#include "app/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumarel {

namespace {

QString claimsFolder(const QString& documentsFolder)
{
    return documentsFolder + QStringLiteral("/.lumarel-claims");
}

QString claimPath(const QString& documentPath)
{
    const QFileInfo document(documentPath);
    return claimsFolder(document.absolutePath()) + QLatin1Char('/') + document.fileName() +
           QStringLiteral(".lock");
}

} // namespace

DocumentClaim::DocumentClaim(const QString& documentPath) : m_documentPath(documentPath)
{
    const QString path = claimPath(documentPath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_lock = std::make_unique<QLockFile>(path);
    // Only a dead owner makes a claim stale, however long the preview stays open.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        throw Failure(QStringLiteral("The flyer document %1 could not be claimed: its lock file %2 "
                                     "could not be made.")
                          .arg(documentPath, path));
}

void removeAbandonedDocuments(const QString& folder)
{
    const QStringList documents =
        QDir(folder).entryList({QStringLiteral("qtemar*.doc")}, QDir::Files | QDir::Hidden);
    for (const QString& name : documents) {
        const QString document = QDir(folder).filePath(name);
        QLockFile claim(claimPath(document));
        claim.setStaleLockTime(0);
        // A claim that can be taken has no running owner, and neither has a document without
        // one (left by an earlier version of the program).
        if (claim.tryLock(0)) {
            QFile::remove(document);
            claim.unlock();
        }
    }
    // A program ends without releasing its last claim; a claim nobody holds goes.
    const QDir claims(claimsFolder(folder));
    for (const QString& name : claims.entryList({QStringLiteral("*.lock")}, QDir::Files)) {
        QLockFile claim(claims.filePath(name));
        claim.setStaleLockTime(0);
        if (claim.tryLock(0))
            claim.unlock();
    }
}

} // namespace lumarel
