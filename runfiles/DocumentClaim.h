#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace lumarel {

// A running program's claim on a flyer document in its temporary folder, held from before the
// document is made until the next one or the program's end. The claim is a lock file in a
// hidden folder beside the documents; a program that was killed leaves a claim whose owner is
// gone, and the next start removes that document with it.
class DocumentClaim
{
public:
    // Throws Failure when the claim cannot be made.
    explicit DocumentClaim(const QString& documentPath);

    const QString& documentPath() const { return m_documentPath; }

private:
    QString m_documentPath;
    std::unique_ptr<QLockFile> m_lock;
};

// Removes the flyer documents (qtemar*.doc) in `folder` that no running program claims.
void removeAbandonedDocuments(const QString& folder);

} // namespace lumarel
