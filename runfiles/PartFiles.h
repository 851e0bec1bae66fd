#pragma once

#include <QString>

#include <functional>

namespace lumarel {

// The marker in the name of every part file this program makes beside a target, followed by
// the writer's process id: ".<name>.lumarel-part-<pid>-XXXXXX".
QString partFileMarker();

// Removes the part files in `folder` whose writer is no longer running (a run that was killed
// cannot remove its own); files of running writers and every other file are left alone.
void removeAbandonedPartFiles(const QString& folder);

// The description of a failure in making `target`, with the program's part files of it (the
// one beside it, the private copy of writePrivatelyThenMove() and the parts made on the way
// to it) named as `target`, the file the user asked for.
QString namingTarget(const QString& description, const QString& target);

// Removes the private folders of writePrivatelyThenMove() that a killed run of this user left
// in the temporary folder; those of running programs, and other users', are left alone.
void removeAbandonedExportFolders();

// Lets `write` make a file in a private folder of the program's own, then moves the finished
// file to `destination` (renamed, or copied when the folders are on different file systems).
// Whatever the writer leaves beside its file (an office's lock and temporary files) stays in
// that private folder and goes with it. Throws Failure.
void writePrivatelyThenMove(const QString& destination,
                            const std::function<void(const QString& privatePath)>& write);

} // namespace lumarel
