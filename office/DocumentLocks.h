#pragma once

#include <QString>

namespace lumarel {

// Who holds the office's lock on a document ("user on host since date"); empty when nobody.
QString lockOwner(const QString& document);
// A killed office leaves its lock behind, and the office then refuses the document. A lock
// whose office profile no longer exists belongs to no running office: it is removed.
void removeStaleLock(const QString& document);
// Removes the lock of a document the office on this profile had open, once that office is gone.
void removeOwnLock(const QString& document, const QString& profileUrl);

} // namespace lumarel
