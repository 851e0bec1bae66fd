#include "flyer/DocumentExport.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "flyer/OfficeEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel {

namespace {

const std::array<SaveFormatInfo, 4> kFormats{{
    {SaveFormat::Word97, "Word Files (*.doc)", "doc", ""},
    {SaveFormat::Word2007, "Word 2007-365 Files (*.docx)", "docx", "MS Word 2007 XML"},
    {SaveFormat::OpenDocument, "OpenDocument Text (*.odt)", "odt", "writer8"},
    {SaveFormat::Pdf, "PDF Files (*.pdf)", "pdf", "writer_pdf_Export"},
}};

// A new empty file beside the target, named so that it is hidden and cannot clash; removed
// again unless it was renamed over the target.
class FileBeside
{
public:
    explicit FileBeside(const QString& target)
    {
        const QFileInfo info(target);
        QByteArray name = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") +
                                            info.fileName() + QStringLiteral(".XXXXXX"));
        const int fd = ::mkstemp(name.data());
        if (fd < 0) {
            const int error = errno;
            throw Failure(
                QStringLiteral("The file %1 could not be written: %2.")
                    .arg(QDir::toNativeSeparators(target),
                         error == EACCES ? QStringLiteral("you may not make files in the folder %1")
                                               .arg(QDir::toNativeSeparators(info.absolutePath()))
                         : error == ENOENT ? QStringLiteral("the folder does not exist")
                                           : QString::fromLocal8Bit(std::strerror(error))));
        }
        // Made like any new file of the user's, not private as temporary files are.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        ::close(fd);
        m_path = QFile::decodeName(name);
    }
    ~FileBeside()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    FileBeside(const FileBeside&) = delete;
    FileBeside& operator=(const FileBeside&) = delete;

    const QString& path() const { return m_path; }

    void renameOver(const QString& target)
    {
        if (std::rename(QFile::encodeName(m_path).constData(),
                        QFile::encodeName(target).constData()) != 0)
            throw Failure(replaceRefusal(target, errno));
        m_path.clear();
    }

private:
    QString m_path;
};

// The office closes its document however the export ends.
struct OpenDocument
{
    OfficeEngine& office;
    ~OpenDocument()
    {
        try {
            office.closeWithoutSaving();
        } catch (...) {
        }
    }
};

} // namespace

std::span<const SaveFormatInfo> saveFormats()
{
    return kFormats;
}

const SaveFormatInfo& saveFormat(SaveFormat format)
{
    for (const SaveFormatInfo& info : kFormats)
        if (info.format == format)
            return info;
    return kFormats.front();
}

QString saveDialogFilter()
{
    QStringList filters;
    for (const SaveFormatInfo& info : kFormats)
        filters << QLatin1String(info.filter);
    return filters.join(QStringLiteral(";;"));
}

SaveTarget saveTargetFor(const QString& typedName, const QString& selectedFilter)
{
    const QString suffix = QFileInfo(typedName).suffix();
    for (const SaveFormatInfo& info : kFormats)
        if (suffix.compare(QLatin1String(info.extension), Qt::CaseInsensitive) == 0)
            return {typedName, info.format};
    const SaveFormatInfo* chosen = &kFormats.front();
    for (const SaveFormatInfo& info : kFormats)
        if (selectedFilter == QLatin1String(info.filter))
            chosen = &info;
    if (chosen->format == SaveFormat::Word97 || !suffix.isEmpty())
        return {typedName, chosen->format};
    return {typedName + QLatin1Char('.') + QLatin1String(chosen->extension), chosen->format};
}

void exportDocument(OfficeEngine& office, const QString& document, const QString& target,
                    SaveFormat format)
{
    const SaveFormatInfo& info = saveFormat(format);
    if (!*info.officeFilter)
        throw Failure(
            QStringLiteral("A Word 97 document is saved as a copy, not through the office."));
    FileBeside made(target);
    {
        office.open(document, true);
        const OpenDocument opened{office};
        office.exportCopy(made.path(), QLatin1String(info.officeFilter));
    }
    if (QFileInfo(made.path()).size() == 0)
        throw Failure(QStringLiteral("The office wrote nothing for %1.")
                          .arg(QDir::toNativeSeparators(target)));
    made.renameOver(target);
}

} // namespace lumarel
