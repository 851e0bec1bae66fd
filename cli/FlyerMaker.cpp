#include "cli/FlyerMaker.h"

#include "app/Failure.h"
#include "cli/Command.h"
#include "flyer/FileBeside.h"
#include "flyer/FlyerRun.h"
#include "flyer/PageCapture.h"
#include "flyer/PartFiles.h"
#include "flyer/WordImportRepair.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"

#include <QFile>
#include <QImageWriter>
#include <QScopeGuard>

#include <utility>

namespace lumarel::cli {

namespace {

const QString kPictureExtension = QStringLiteral("png");

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
    if (extension.compare(kPictureExtension, Qt::CaseInsensitive) == 0)
        return OutputFormat{};
    if (const std::optional<SaveFormat> document = saveFormatOfExtension(extension))
        return OutputFormat{document};
    return std::nullopt;
}

QString extensionOf(OutputFormat format)
{
    return format.document ? QString::fromLatin1(saveFormat(*format.document).extension)
                           : kPictureExtension;
}

void writeOpenDocument(OfficeEngine& office, OutputFormat format, const QString& path)
{
    if (format.document) {
        exportOpenDocument(office, *format.document, path);
        return;
    }
    QImageWriter writer(path, "png");
    if (!writer.write(office.renderFirstPage(kPageDotsPerMeter)))
        throw Failure(QStringLiteral("The page picture %1 could not be written: %2")
                          .arg(path, writer.errorString()));
}

int writeThroughWordFile(OfficeEngine& office, OutputFormat format, const QString& path)
{
    if (format.document == SaveFormat::Word97) {
        exportOpenDocument(office, SaveFormat::Word97, path);
        return office.pageCount();
    }
    // The window saves the flyer as Word 97 and makes every other format from that file: the
    // same steps here give the same flyer.
    const FileBeside saved(path + QStringLiteral(".doc"));
    exportOpenDocument(office, SaveFormat::Word97, saved.path());
    const bool pageOnly = !format.document || *format.document == SaveFormat::Pdf;
    openWordDocument(office, saved.path(), true,
                     pageOnly ? ImportRepair::Page : ImportRepair::Whole);
    const auto close = qScopeGuard([&] {
        try {
            office.closeWithoutSaving();
        } catch (const Failure&) {
        }
    });
    writeOpenDocument(office, format, path);
    return office.pageCount();
}

bool startOffice(FlyerMaker& maker, Console& console)
{
    try {
        maker.start();
        return true;
    } catch (const Failure& failure) {
        console.err << failure.description() << Qt::endl << Qt::endl << officeAdviceText();
        return false;
    }
}

FlyerMaker::FlyerMaker(OfficePool& offices) : m_offices(offices) {}

FlyerMaker::~FlyerMaker()
{
    m_run.reset();
    release(false);
}

void FlyerMaker::start()
{
    if (!m_office)
        m_office = &m_offices.take();
}

void FlyerMaker::release(bool failed)
{
    if (m_office)
        m_offices.giveBack(*std::exchange(m_office, nullptr), failed);
}

void FlyerMaker::openTemplate()
{
    start();
    m_run = std::make_unique<FlyerRun>(*m_office);
    m_run->setDesign(m_design);
    FirstFailure steps;
    m_run->openTemplate(steps.runner());
    // The office holds the template now: other runs may have the temporary folder back.
    if (m_run->locked())
        QFile::remove(m_run->designCopy());
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
        release(true);
        return;
    }
    try {
        m_office->closeWithoutSaving();
    } catch (const Failure&) {
        release(true);
    }
}

int FlyerMaker::make(const FlyerFields& fields, OutputFormat format, const QString& path,
                     bool replace)
{
    FileBeside part(path);
    int pages = 0;
    try {
        if (!m_ready)
            openTemplate();
        FirstFailure steps;
        m_run->putTexts(fields, steps.runner());
        steps.check();
        // The office's own lock and temporary files stay out of the user's folder.
        writePrivatelyThenMove(part.path(), [&](const QString& privatePath) {
            pages = writeThroughWordFile(*m_office, format, privatePath);
        });
    } catch (const Failure&) {
        discardDocument();
        throw;
    }
    part.commit(replace);
    return pages;
}

} // namespace lumarel::cli
