#pragma once

#include <QString>

namespace lumarel {

// A new empty file beside a target, under a hidden name of its own that cannot clash, for
// writing the target's contents first; the target appears only when the file is complete.
// The file is removed again on every path unless it was committed.
class FileBeside
{
public:
    // Throws Failure when no file can be made in the target's folder, or when the target is
    // marked so that it cannot be replaced.
    explicit FileBeside(const QString& target);
    ~FileBeside();
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    const QString& path() const { return m_path; }

    // Puts the file in the target's place with the user's normal permissions: renamed over an
    // existing target when `replace` is true, otherwise never in place of an existing file.
    // Throws Failure, and the target stays as it was; an empty file is never put in place.
    void commit(bool replace);

private:
    QString m_target;
    QString m_path;
};

} // namespace lumarel
