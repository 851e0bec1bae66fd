#pragma once

#include <QCursor>
#include <QString>

#include <optional>

class QIcon;

namespace lumarel {

// Product data: the name is the window caption, the source of the application title and
// the settings group.
inline const QString kProductName = QStringLiteral("Lumarel");
inline const QString kMakerName = QStringLiteral("Quenwick");
// The version text comes from the build (the project version, minor part in two digits).
inline const QString kVersion = QStringLiteral(LUMAREL_VERSION);
// Names the running application after the product, for its settings and its --version.
void nameApplication();

// The folder of the program file, without a trailing separator. Optional files beside the
// program are found by appending a name that starts with "/".
QString programFolder();
// Tests place the optional files in a folder of their own.
void setProgramFolderForTests(const QString& folder);

inline const QString kHandCursorFile = QStringLiteral("/HAND-M.CUR");
inline const QString kSkinFile = QStringLiteral("/x/o.cjs");
// Where an optional file is read from: the first of the program folder, $XDG_DATA_HOME/lumarel
// (normally ~/.local/share/lumarel) and each folder of $XDG_DATA_DIRS with /lumarel added
// (normally /usr/local/share and /usr/share) that holds `name`; the path beside the program
// when none does. `name` starts with "/".
QString optionalFile(const QString& name);

// True when the path's modification time can be read (files and folders alike); never throws.
bool FileExists(const QString& path);

// Lets pending window events run once, then deletes the file; a failed delete is retried by
// ForceDeleteFile. Never throws and reports nothing.
void RemoveFile(const QString& path);
// Deletes the file again with its folder made writable for the moment.
void ForceDeleteFile(const QString& path);

// Why an existing file could not be replaced, in plain words, from the error (errno) of the
// failed remove or rename: a protected file, a folder that may not be changed, and so on.
QString replaceRefusal(const QString& path, int error);
// True for a file marked immutable or append-only, which not even its owner can replace.
bool markedUnreplaceable(const QString& path);

// The application title for a product name: cut at the last blank, at least once, until the
// rest is at most 40 characters. A name without a blank is its own title.
QString appTitleFor(const QString& productName);
// Sets the title of message boxes that name none of their own.
void SetAppTitle();

// Loads a Windows cursor file with its hot spot; throws Failure when it is not a cursor.
QCursor loadCursorFile(const QString& path);

// The application icon: one icon of four images (32, 48, 128, 256 pixels).
QIcon appIcon();

} // namespace lumarel
