#pragma once

#include "office/OfficeProfile.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

namespace lumarel {

// One office process in a process group of its own, so that everything it starts can be
// signalled at once. The process is killed when this program dies (even by SIGKILL), and the
// destructor ends the whole group and reaps it: no office outlives its owner.
class OfficeProcess
{
public:
    // Starts `program` from the calling thread; the death signal is tied to that thread, so
    // call it from a thread that lives as long as the process should. A profile folder named
    // in `arguments` that does not exist yet is seeded first (seedNewProfile). Throws Failure.
    OfficeProcess(const QString& program, const QStringList& arguments,
                  const QStringList& extraEnvironment, const QStringList& removedEnvironment);
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    pid_t pid() const { return m_pid; }

    // The exit code once the process has ended (a signal counts as 128 + its number); the
    // process is not reaped here, so its group stays addressable.
    std::optional<int> exitCode() const;
    // Waits up to `milliseconds` for the process to end.
    std::optional<int> waitForExit(int milliseconds) const;

    // SIGKILL to the whole group, at once. Safe from any thread.
    void killGroup() const;
    // SIGTERM to the group, up to `graceMilliseconds` for the process to end, then SIGKILL;
    // reaps the process.
    void end(int graceMilliseconds);

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
};

// One process as /proc lists it.
struct ProcessStatus
{
    qint64 pid;
    char state; // 'R', 'S', ...; 'Z' for one that ended and is not yet reaped
    qint64 parent;
    qint64 group;
};
// Every process of the machine that /proc shows this program.
QList<ProcessStatus> processTable();

// The office executable: LUMAREL_SOFFICE when set, else `soffice` from the search path. The
// office's own launcher script is bypassed for the soffice.bin beside it, which needs no
// helper process of its own. Throws Failure when none can be run.
QString officeExecutable();

// A new name for an office's pipe: "lumarel-" and 32 hexadecimal digits, the only form of
// name taken from the records of an abandoned instance folder.
QString newOfficePipeName();
// Where the office may make the socket file of its pipe with this name, in the order it tries.
QStringList officePipeSockets(const QString& pipeName);
// The socket files that an office with this pipe name and profile creates in the temporary
// folder; a killed office leaves them behind. Removes only these, never another office's.
void removeOfficePipes(const QString& pipeName, const QString& profileUrl);

// Each instance keeps its profile and temporary files in a private folder named
// kInstanceFolderPrefix + random letters, locked by its owner with kOwnerLockName. A program that
// was killed cannot remove its folder or its office's pipes; the next instance does, once the lock
// shows that the owner is gone, and only in folders of the user's own that are closed to others.
inline constexpr char kInstanceFolderPrefix[] = "lumarel-office-";
inline constexpr char kOwnerLockName[] = "owner.lock";
void recordOfficePipes(const QString& instanceFolder, const QString& pipeName,
                       const QString& profileUrl);
void removeAbandonedInstanceFolders();
// Where the instance folders are made: the program's temporary folder (TEMP honoured), or the
// system's when that one cannot be used, so that the office still starts and the flyer run
// reports what is wrong with TEMP.
QString instanceFoldersRoot();

// This program's folder in the user's cache (normally ~/.cache/lumarel).
QString programCacheFolder();

// The profile every instance starts from: made once per user and office program under the
// cache folder, then copied, because a fresh profile costs a start of its own.
QString baseProfileFolder(const QString& program);
// Records the program a base profile is made for, inside it.
bool recordBaseProfileProgram(const QString& base, const QString& program);
// Removes the bases this program made before an update of the office or of their preparation
// (and those that recorded no program, which are older still); others' bases stay.
void removeReplacedBaseProfiles(const QString& base, const QString& program);
// The fontconfig setup for the office: the program's font aliases together with the system's
// setup (which the aliases may include themselves).
// Writes it into `folder` and returns the file, or an empty text when the program has none.
QString writeFontConfig(const QString& folder);

} // namespace lumarel
