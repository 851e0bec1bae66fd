#include "cli/FlyerMaker.h"

#include "app/Failure.h"
#include "flyer/FlyerRun.h"
#include "flyer/FlyerTemplate.h"
#include "flyer/OfficeEngine.h"
#include "flyer/PageCapture.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel::cli {

namespace {

struct FormatName
{
    OutputFormat format;
    const char* extension;
    const char* filter; // the office's export filter; none for the page picture
};

constexpr FormatName kFormats[] = {
    {OutputFormat::Doc, "doc", "MS Word 97"}, {OutputFormat::Docx, "docx", "MS Word 2007 XML"},
    {OutputFormat::Odt, "odt", "writer8"},    {OutputFormat::Pdf, "pdf", "writer_pdf_Export"},
    {OutputFormat::Png, "png", nullptr},
};

const FormatName& formatName(OutputFormat format)
{
    for (const FormatName& name : kFormats)
        if (name.format == format)
            return name;
    return kFormats[0];
}

// A new file beside `path`, under a hidden name of its own, removed unless it is committed.
class PartFile
{
public:
    explicit PartFile(const QString& path)
        : m_path(path), m_file(QFileInfo(path).absolutePath() + QStringLiteral("/.") +
                               QFileInfo(path).fileName() + QStringLiteral(".XXXXXX"))
    {
        if (!m_file.open())
            throw Failure(QStringLiteral("No file can be written in %1: %2")
                              .arg(QFileInfo(path).absolutePath(), m_file.errorString()));
        m_file.close();
    }

    QString name() const { return m_file.fileName(); }

    void commit(bool replace)
    {
        const QByteArray from = QFile::encodeName(name());
        const QByteArray to = QFile::encodeName(m_path);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(from.constData(), 0666 & ~mask);
        // link() never replaces an existing file, rename() always does.
        const bool done = replace ? ::rename(from.constData(), to.constData()) == 0
                                  : ::link(from.constData(), to.constData()) == 0;
        if (!done)
            throw Failure(errno == EEXIST
                              ? QStringLiteral("%1 already exists").arg(m_path)
                              : QStringLiteral("%1 could not be written: %2")
                                    .arg(m_path, QString::fromLocal8Bit(std::strerror(errno))));
        if (replace)
            m_file.setAutoRemove(false);
    }

private:
    QString m_path;
    QTemporaryFile m_file;
};

// Runs the steps of a flyer run until the first one fails, and keeps its reason.
class FirstFailure
{
public:
    FlyerRun::StepRunner runner()
    {
        return [this](int, const std::function<void()>& body) {
            if (!m_reason.isEmpty())
                return false;
            try {
                body();
                return true;
            } catch (const Failure& failure) {
                m_reason = failure.description();
            } catch (const std::exception& error) {
                m_reason = QString::fromLocal8Bit(error.what());
            }
            return false;
        };
    }
    void check() const
    {
        if (!m_reason.isEmpty())
            throw Failure(m_reason);
    }

private:
    QString m_reason;
};

} // namespace

std::optional<OutputFormat> formatOfExtension(const QString& extension)
{
    for (const FormatName& name : kFormats)
        if (extension.compare(QLatin1String(name.extension), Qt::CaseInsensitive) == 0)
            return name.format;
    return std::nullopt;
}

QString extensionOf(OutputFormat format)
{
    return QLatin1String(formatName(format).extension);
}

void writeOpenDocument(OfficeEngine& office, OutputFormat format, const QString& path)
{
    switch (format) {
    case OutputFormat::Png: {
        QImageWriter writer(path, "png");
        if (!writer.write(office.renderFirstPage(kPageDotsPerMeter)))
            throw Failure(QStringLiteral("The page picture %1 could not be written: %2")
                              .arg(path, writer.errorString()));
        return;
    }
    default:
        office.exportCopy(path, QLatin1String(formatName(format).filter));
    }
}

FlyerMaker::FlyerMaker() = default;

FlyerMaker::~FlyerMaker() = default;

void FlyerMaker::start()
{
    if (!m_office)
        m_office = std::make_unique<OfficeEngine>();
}

void FlyerMaker::openTemplate()
{
    start();
    m_run = std::make_unique<FlyerRun>(*m_office);
    FirstFailure steps;
    m_run->openTemplate(steps.runner());
    // The office holds the template now: other runs may have the temporary folder back.
    if (m_run->locked())
        QFile::remove(templateCopyPath());
    m_run->unlock();
    steps.check();
    m_ready = true;
}

void FlyerMaker::discardDocument()
{
    m_ready = false;
    m_run.reset();
    if (!m_office)
        return;
    if (m_office->processId() == 0) {
        m_office.reset();
        return;
    }
    try {
        m_office->closeWithoutSaving();
    } catch (const Failure&) {
        m_office.reset();
    }
}

void FlyerMaker::make(const FlyerFields& fields, OutputFormat format, const QString& path,
                      bool replace)
{
    PartFile part(path);
    try {
        if (!m_ready)
            openTemplate();
        FirstFailure steps;
        m_run->putTexts(fields, steps.runner());
        steps.check();
        writeOpenDocument(*m_office, format, part.name());
    } catch (const Failure&) {
        discardDocument();
        throw;
    }
    part.commit(replace);
}

} // namespace lumarel::cli
