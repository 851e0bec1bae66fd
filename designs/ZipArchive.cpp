#include "designs/ZipArchive.h"

#include "app/Failure.h"

#include <QFile>
#include <QIODevice>

#include <zip.h>

#include <algorithm>

namespace lumarel {

namespace {

constexpr zip_uint64_t kMaxReadSize = 64 * 1024 * 1024;

struct FileClose
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

void ZipArchive::Close::operator()(zip* archive) const
{
    zip_discard(archive);
}

ZipArchive::ZipArchive(const QString& path) : m_path(path)
{
    int error = 0;
    m_archive.reset(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!m_archive) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, error);
        const QString cause = QString::fromUtf8(zip_error_strerror(&reason));
        zip_error_fini(&reason);
        throw Failure(QStringLiteral("Cannot read \"%1\": %2.").arg(path, cause));
    }
}

ZipArchive::~ZipArchive() = default;

bool ZipArchive::looksLikeZip(const QByteArray& firstBytes)
{
    return firstBytes.startsWith(QByteArrayLiteral("PK\x03\x04"));
}

void ZipArchive::replaceParts(const QString& path,
                              const QList<std::pair<QString, QByteArray>>& parts)
{
    const auto written = [](const auto& part) { return !part.second.isEmpty(); };
    if (std::none_of(parts.cbegin(), parts.cend(), written))
        return;
    const auto discard = [](zip* archive) { zip_discard(archive); };
    int error = 0;
    std::unique_ptr<zip, decltype(discard)> archive(
        zip_open(QFile::encodeName(path).constData(), 0, &error), discard);
    if (!archive)
        throw Failure(
            QStringLiteral("Cannot rewrite \"%1\": it is no longer a readable archive.").arg(path));
    const auto fail = [&](const QString& doing) {
        return Failure(QStringLiteral("Cannot %1 \"%2\": %3.")
                           .arg(doing, path, QString::fromUtf8(zip_strerror(archive.get()))));
    };
    for (const auto& [name, bytes] : parts) {
        if (bytes.isEmpty())
            continue;
        // The bytes stay in `parts` until the archive is written.
        zip_source_t* source =
            zip_source_buffer(archive.get(), bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(archive.get(), name.toUtf8().constData(), source,
                                    ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            throw fail(QStringLiteral("rewrite the part %1 of").arg(name));
        }
    }
    if (zip_close(archive.get()) < 0)
        throw fail(QStringLiteral("write"));
    archive.release();
}

QStringList ZipArchive::names() const
{
    QStringList names;
    const zip_int64_t count = zip_get_num_entries(m_archive.get(), 0);
    for (zip_int64_t index = 0; index < count; ++index)
        names << QString::fromUtf8(zip_get_name(m_archive.get(), index, 0));
    return names;
}

bool ZipArchive::contains(const QString& name) const
{
    return zip_name_locate(m_archive.get(), name.toUtf8().constData(), 0) >= 0;
}

namespace {

// A part read as its reader asks, never beyond its stated size.
class PartDevice : public QIODevice
{
public:
    PartDevice(zip_file_t* file, quint64 size) : m_file(file), m_left(size)
    {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 most) override
    {
        const zip_int64_t got =
            zip_fread(m_file.get(), data, std::min<zip_uint64_t>(m_left, zip_uint64_t(most)));
        if (got < 0)
            return -1;
        m_left -= zip_uint64_t(got);
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::unique_ptr<zip_file_t, FileClose> m_file;
    zip_uint64_t m_left;
};

} // namespace

zip_file* ZipArchive::openCounted(const QString& name, quint64* size) const
{
    const QByteArray utf8 = name.toUtf8();
    zip_stat_t info;
    if (zip_stat(m_archive.get(), utf8.constData(), 0, &info) != 0 || !(info.valid & ZIP_STAT_SIZE))
        throw Failure(QStringLiteral("Cannot read \"%1\": it has no part %2.").arg(m_path, name));
    if (info.size > kMaxReadSize)
        throw Failure(
            QStringLiteral("Cannot read \"%1\": its part %2 is too large.").arg(m_path, name));
    // Counted whole, even when its reader stops early.
    if (info.size > kMaxReadSize - m_read)
        throw Failure(QStringLiteral("Cannot read \"%1\": its parts together are too large (over "
                                     "%2 MB, with %3).")
                          .arg(m_path)
                          .arg(kMaxReadSize / (1024 * 1024))
                          .arg(name));
    zip_file_t* file = zip_fopen(m_archive.get(), utf8.constData(), 0);
    if (!file)
        throw Failure(
            QStringLiteral("Cannot read \"%1\": its part %2 is damaged.").arg(m_path, name));
    m_read += info.size;
    *size = info.size;
    return file;
}

std::unique_ptr<QIODevice> ZipArchive::stream(const QString& name) const
{
    quint64 size = 0;
    zip_file_t* file = openCounted(name, &size);
    return std::make_unique<PartDevice>(file, size);
}

QByteArray ZipArchive::part(const QString& name) const
{
    quint64 size = 0;
    const std::unique_ptr<zip_file_t, FileClose> file(openCounted(name, &size));
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (zip_fread(file.get(), bytes.data(), size) != zip_int64_t(size))
        throw Failure(
            QStringLiteral("Cannot read \"%1\": its part %2 is damaged.").arg(m_path, name));
    return bytes;
}

} // namespace lumarel
