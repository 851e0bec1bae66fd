#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

struct zip;

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

    QStringList names() const;
    bool contains(const QString& name) const;
    // The part's bytes, uncompressed; a part larger than a document's part can reasonably be is
    // refused rather than read into memory.
    QByteArray part(const QString& name) const;

private:
    struct Close
    {
        void operator()(zip* archive) const;
    };
    QString m_path;
    std::unique_ptr<zip, Close> m_archive;
};

} // namespace lumarel
