#include "SettingsStore.h"

#include "Failure.h"
#include "IniFile.h"
#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>

#include <optional>
#include <utility>

namespace lumarel {

namespace {

const QString kGroup = QStringLiteral("Lumarel");

// Which file was read: a write by another copy of the program replaces the file, and a change
// in place changes its size or time.
struct FileStamp
{
    dev_t device;
    ino_t inode;
    off_t size;
    long long modified;

    bool operator==(const FileStamp&) const = default;
};

// A file far larger than nine details ever make is not read: it is not a settings file.
constexpr qint64 kLargestStore = qint64(256) << 20;

// Nothing for a path that cannot be looked at, `error` telling why (ENOENT: nothing stored yet).
std::optional<FileStamp> stampOf(const QString& path, int* error = nullptr)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (error)
            *error = errno;
        return std::nullopt;
    }
    return FileStamp{info.st_dev, info.st_ino, info.st_size,
                     info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

// The file as last read or written, so that a read does not parse megabytes again.
struct Store
{
    QString path;
    bool loaded = false;
    std::optional<FileStamp> stamp;
    IniFile file;
    QString readProblem;     // why the file on disk could not be read completely
    bool unreadable = false; // not read at all: it is never written over
    bool keptCopy = false;
    QString notice;
};

Store& store()
{
    static Store s;
    return s;
}

Store& current()
{
    Store& s = store();
    const QString path = SettingsStore::filePath();
    int missing = 0;
    const std::optional<FileStamp> stamp = stampOf(path, &missing);
    if (s.loaded && s.path == path && s.stamp == stamp)
        return s;
    s.path = path;
    s.loaded = true;
    s.stamp = stamp;
    s.file = IniFile();
    s.readProblem.clear();
    s.unreadable = false;
    s.keptCopy = false;
    if (!stamp && (missing == ENOENT || missing == ENOTDIR))
        return s;
    QByteArray bytes;
    try {
        bytes = readRegularFile(path, kLargestStore);
    } catch (const Failure& failure) {
        s.readProblem = QStringLiteral("it ") + failure.description();
        s.unreadable = true;
        return s;
    }
    s.file = IniFile::parse(bytes);
    s.readProblem = s.file.problem();
    return s;
}

QString writeFailure(const QString& path, const QString& reason)
{
    return QStringLiteral("The settings file %1 could not be written: %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

// A file that was not read completely would lose what was not read: it is kept as it is
// under a name of its own before the first write.
void keepUnreadableCopy(Store& s)
{
    const QString stem = s.path + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString copy = stem;
    QFile original(s.path);
    for (int n = 2; !original.copy(copy); ++n) {
        if (!QFileInfo::exists(copy) || n > 99)
            throw Failure(
                QStringLiteral("The settings file %1 could not be read completely "
                               "(%2), and no copy of it could be kept (%3), so it was "
                               "left as it is.")
                    .arg(QDir::toNativeSeparators(s.path), s.readProblem, original.errorString()));
        copy = stem + QStringLiteral("-%1").arg(n);
    }
    s.keptCopy = true;
    s.notice =
        QStringLiteral("Part of the settings file %1 could not be read (%2).\n\n"
                       "The file as it was is kept in %3. The event details are saved "
                       "in %1 again from now on.")
            .arg(QDir::toNativeSeparators(s.path), s.readProblem, QDir::toNativeSeparators(copy));
}

void writeStore(Store& s)
{
    QSaveFile file(s.path);
    if (!file.open(QIODevice::WriteOnly) || !s.file.writeTo(file) || !file.commit())
        throw Failure(writeFailure(s.path, file.errorString()));
    s.stamp = stampOf(s.path);
    s.readProblem.clear();
    s.keptCopy = false;
}

} // namespace

QString SettingsStore::get(const QString& key, const QString& fallback)
{
    return current().file.value(kGroup, key).value_or(fallback);
}

void SettingsStore::save(const QString& key, const QString& value)
{
    const QString path = filePath();
    // What it holds is unknown: a write would lose it.
    if (const Store& s = current(); s.unreadable)
        throw Failure(QStringLiteral("%1 It is left as it is, and nothing is saved in it until it "
                                     "can be read (or is moved away).")
                          .arg(readProblem()));
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Another copy of the program writes the same file; its writes must not interleave.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(10000))
        throw Failure(writeFailure(path, QStringLiteral("its lock file could not be taken")));
    Store& s = current();
    if (!s.readProblem.isEmpty() && !s.keptCopy)
        keepUnreadableCopy(s);
    s.file.setValue(kGroup, key, value);
    writeStore(s);
}

QString SettingsStore::readProblem()
{
    const Store& s = current();
    if (s.readProblem.isEmpty())
        return QString();
    const QString path = QDir::toNativeSeparators(s.path);
    if (s.unreadable)
        return QStringLiteral("The stored details cannot be taken from the settings file %1: %2.")
            .arg(path, s.readProblem);
    return QStringLiteral("Part of the settings file %1 could not be read (%2).")
        .arg(path, s.readProblem);
}

bool SettingsStore::refusesWrites()
{
    return current().unreadable;
}

QString SettingsStore::takeNotice()
{
    return std::exchange(store().notice, QString());
}

QString SettingsStore::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quenwick.ini");
}

QString SettingsStore::dateToText(const QDateTime& value)
{
    if (value.time() == QTime(0, 0))
        return value.date().toString(QStringLiteral("yyyy-MM-dd"));
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime SettingsStore::textToDate(const QString& text)
{
    QDateTime value = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!value.isValid()) {
        const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (date.isValid())
            value = QDateTime(date, QTime(0, 0));
    }
    if (!value.isValid())
        throw Failure(QStringLiteral("Type mismatch"));
    return value;
}

} // namespace lumarel
