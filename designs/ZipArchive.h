#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

struct zip;
struct zip_file;
class QIODevice;

namespace lumarel {

// A zip archive (a .docx or .odt) opened for reading. Every failure is a Failure that names the
// file and the cause.
class ZipArchive
{
public:
    explicit ZipArchive(const QString& path);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Whether a file that begins with these bytes is a zip archive.
    static bool looksLikeZip(const QByteArray& firstBytes);

    // Writes the parts into the archive at `path` in its place, each replacing the part of its
    // name; a part without bytes is left as it is. Throws Failure naming the file.
    static void replaceParts(const QString& path,
                             const QList<std::pair<QString, QByteArray>>& parts);

    bool contains(const QString& name) const;
    // The names of the archive's parts, in their order.
    QStringList names() const;
    // The part's bytes, uncompressed. What a document's parts can reasonably hold, all the
    // parts read from one archive together, is the most this hands out: a small archive can
    // unpack to gigabytes, so a part that would go beyond it is refused rather than read.
    QByteArray part(const QString& name) const;
    // The part as its reader asks for it, counted as part() counts it: a reader that stops early
    // (at a limit of its own) unpacks no further.
    std::unique_ptr<QIODevice> stream(const QString& name) const;

private:
    struct Close
    {
        void operator()(zip* archive) const;
    };
    // Opens the part once what the archive may still hand out allows it; throws Failure.
    zip_file* openCounted(const QString& name, quint64* size) const;

    QString m_path;
    std::unique_ptr<zip, Close> m_archive;
    mutable quint64 m_read = 0; // the bytes part() has handed out
};

} // namespace lumarel
