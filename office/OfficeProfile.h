#pragma once

#include <QString>
#include <QStringList>

namespace lumarel {

// Prepares a profile folder that does not exist yet, named by the `-env:UserInstallation=`
// argument among `arguments`, so that the office's first start in it is a start like any
// other. Unprepared, the office makes a profile over two starts (the first ends with exit code
// 81 once it has set up its extensions for the new profile) and runs its graphics self-tests
// at every start until the profile records its version as seen, which a hidden office never
// does on its own. Both records are taken from the office's own files beside `program`; where
// those cannot be read nothing is written, and the office makes its profile the slow way.
// Copies a folder with everything in it (a link only to a file); false if anything could not
// be copied.
bool copyFolder(const QString& from, const QString& to);

void seedNewProfile(const QString& program, const QStringList& arguments);

// Why the program's cache folder (programCacheFolder()), where the base profile is kept,
// cannot be written, naming the folder; empty when it can. No advice on installing the office
// fits such a failure.
QString cacheFolderProblem();

// The version the office records as seen ("7.4"), from its configuration; empty if unknown.
QString officeSetupVersion(const QString& program);
// The office's build id, which it keeps in the profile's extension folder; empty if unknown.
QString officeBuildId(const QString& program);

} // namespace lumarel
