#include "flyer/FlyerRun.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "app/RegularFile.h"
#include "app/StepTrap.h"
#include "flyer/DesignCheck.h"
#include "flyer/FlyerTemplate.h"
#include "flyer/OdfTextFrames.h"
#include "flyer/OfficeLoan.h"
#include "flyer/PageCapture.h"
#include "flyer/ReadyTemplate.h"
#include "flyer/RunLock.h"
#include "flyer/WordImportRepair.h"
#include "flyer/WordMlTextBoxes.h"
#include "office/InsertedText.h"
#include "office/OfficeEngine.h"
#include "office/TempFolder.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <utility>

namespace lumarel {

namespace {

// Far more than any design with its pictures holds; the file is read whole.
constexpr qint64 kLargestDesign = qint64(256) << 20;

QByteArray bmpBytes(const QImage& page)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(page.convertToFormat(QImage::Format_RGB32)))
        throw Failure(
            QStringLiteral("The page picture could not be encoded: %1").arg(writer.errorString()));
    return buffer.data();
}

} // namespace

FlyerRun::FlyerRun(OfficeSource office) : m_source(std::move(office)) {}

FlyerRun::FlyerRun(OfficeEngine& office) : m_source([&office]() -> OfficeEngine& { return office; })
{
}

FlyerRun::FlyerRun(OfficeUse& use)
    : m_source([&use]() -> OfficeEngine& { return use.office(); }), m_loan(&use.loan())
{
}

FlyerRun::~FlyerRun() = default;

OfficeEngine& FlyerRun::office()
{
    if (!m_office)
        throw Failure(QStringLiteral("There is no office instance to work with, because it "
                                     "could not be started."));
    return *m_office;
}

bool FlyerRun::plainStep(int line, const std::function<void()>& body)
{
    return (*m_step)(line, [&] {
        try {
            body();
        } catch (...) {
            m_failure = describeCurrentException();
            throw;
        }
    });
}

bool FlyerRun::officeStep(int line, const std::function<void()>& body)
{
    if (m_officeFailed)
        return false;
    const bool done = plainStep(line, body);
    m_officeFailed = !done;
    return done;
}

void FlyerRun::fill(const FlyerFields& fields, const StepRunner& step)
{
    openTemplate(step);
    putTexts(fields, step);
}

void FlyerRun::openTemplate(const StepRunner& step)
{
    m_step = &step;
    if (!m_design.isDefault()) {
        openDesign();
        return;
    }
    m_designBookmarks.reset();
    m_designCopy = templateCopyPath();
    QByteArray templateBytes;
    officeStep(106, [&] { m_office = &m_source(); });
    // The window's office may hold the template opened ahead; a copy left in the folder is
    // used instead.
    const bool openedAhead =
        m_office && m_loan && !FileExists(templateCopyPath()) && m_loan->takePrepared(*m_office);
    plainStep(108, [&] { templateBytes = embeddedTemplate(); });
    bool leftover = false;
    plainStep(110, [&] {
        if (!m_lock)
            m_lock = std::make_unique<RunLock>();
        leftover = !openedAhead && FileExists(templateCopyPath());
        if (!openedAhead && !leftover)
            SaveBytesToFile(templateBytes, templateCopyPath());
    });
    officeStep(112, [&] {
        // Another run owns the copy now.
        if (!m_lock)
            throw Failure(QStringLiteral("The flyer template was not opened, because the "
                                         "temporary folder is in use by another run."));
        // A copy that an earlier run left is opened as it is.
        if (leftover)
            openWordDocument(office(), templateCopyPath(), true);
        else if (!openedAhead)
            openFlyerTemplate(office(), templateCopyPath(), m_templateUse);
    });
}

// The steps of openTemplate() for any other design than the default: its copy takes the
// design file's ending, by which the office picks its import filter, and is made anew each
// time, since the design may have changed.
void FlyerRun::openDesign()
{
    QByteArray designBytes;
    QString& copyPath = m_designCopy;
    officeStep(106, [&] { m_office = &m_source(); });
    plainStep(108, [&] {
        const QString source = m_design.builtIn ? m_design.resource() : m_design.path;
        if (m_design.builtIn) {
            QFile file(source);
            if (!file.open(QIODevice::ReadOnly))
                throw Failure(QStringLiteral("The flyer design \"%1\" could not be read: %2")
                                  .arg(source, file.errorString()));
            designBytes = file.readAll();
        } else {
            // The file may have been replaced by a named pipe since it was chosen.
            try {
                designBytes = readRegularFile(source, kLargestDesign);
            } catch (const Failure& failure) {
                throw Failure(QStringLiteral("The flyer design \"%1\" could not be read: it %2")
                                  .arg(source, failure.description()));
            }
        }
        copyPath = designCopyPath(QFileInfo(source).suffix());
    });
    plainStep(110, [&] {
        if (!m_lock)
            m_lock = std::make_unique<RunLock>();
        replaceFile(designBytes, copyPath);
        // The copy is what the office opens, so it is checked rather than the file, which may
        // have changed or gone since; a refusal names the file as the user knows it.
        QList<DesignBookmark> marks;
        try {
            marks = readDesignBookmarks(copyPath);
        } catch (const Failure& failure) {
            if (m_design.builtIn)
                throw;
            throw Failure(QString(failure.description()).replace(copyPath, m_design.path));
        }
        QStringList names;
        for (const DesignBookmark& mark : marks)
            names << mark.name;
        m_designBookmarks = names;
        keepOpenDocumentTextFrames(copyPath);
    });
    officeStep(112, [&] {
        if (!m_lock)
            throw Failure(QStringLiteral("The flyer design was not opened, because the "
                                         "temporary folder is in use by another run."));
        openWordDocument(office(), copyPath, true);
        restoreWordMlTextBoxBookmarks(office(), copyPath);
    });
}

void FlyerRun::unlock()
{
    m_lock.reset();
}

namespace {

// The classic design's name runs along a narrow strip: it stays on one line as long as it can
// be read, and takes two at the smallest size.
const TextFit kStripFit{60, 5, 2};

} // namespace

void FlyerRun::putTexts(const FlyerFields& fields, const StepRunner& step)
{
    m_step = &step;
    m_unfitted.clear();
    QString dateText, orgText, addrText;
    plainStep(116, [&] { dateText = eventDateText(fields.eventDate); });
    plainStep(118, [&] { orgText = orgNameText(fields.orgName); });
    plainStep(120, [&] { addrText = eventAddrText(fields.location); });
    // The bookmarks are looked up together, in the first bookmark's step; a template opened
    // ahead has them looked up already.
    bool lookedUp = false;
    const auto put = [&](int line, const char* bookmark, const auto& text) {
        // A design fills only the bookmarks it holds.
        if (m_designBookmarks && !m_designBookmarks->contains(QLatin1String(bookmark)))
            return;
        officeStep(line, [&] {
            if (!std::exchange(lookedUp, true))
                office().findBookmarks(m_designBookmarks.value_or(designBookmarkNames()), false);
            office().setBookmarkText(QLatin1String(bookmark), text());
        });
    };
    put(122, "OrgName", [&] { return orgText; });
    put(124, "EventName", [&] { return eventNameText(fields.eventName); });
    put(126, "EventDate", [&] { return dateText; });
    put(128, "EventTime", [&] { return eventTimeText(fields.eventTime); });
    put(130, "EventAddr", [&] { return addrText; });
    put(132, "EventMore",
        [&] { return eventMoreText(fields.more, fields.infoOrg, fields.plans, fields.items); });
    // Measured once every text is in, so that the office lays the page out once.
    if (!m_designBookmarks)
        officeStep(134, [&] {
            if (!office().fitBookmarkText(QStringLiteral("OrgName"), kStripFit))
                m_unfitted << QStringLiteral("OrgName");
        });
}

bool FlyerRun::save(const QString& documentPath, const StepRunner& step, AfterSave after)
{
    m_step = &step;
    m_keptDocument.clear();
    const bool saved = officeStep(150, [&] { office().saveAs(documentPath); });
    if (saved && after == AfterSave::KeepForPage) {
        // Closed by capturePage(), once its page is rendered.
        m_keptDocument = documentPath;
        return true;
    }
    officeStep(154, [&] { office().closeWithoutSaving(); });
    // The office stays for the next run, without the document.
    officeStep(156, [&] { office().closeDocuments(); });
    step(160, [&] { m_office = nullptr; });
    return saved;
}

bool FlyerRun::capturePage(const QString& documentPath, const QString& picturePath,
                           const StepRunner& step)
{
    m_step = &step;
    QImage page;
    m_page = QImage();
    const bool kept = m_office && !m_keptDocument.isEmpty() && m_keptDocument == documentPath;
    m_keptDocument.clear();
    officeStep(116, [&] {
        if (!kept)
            m_office = &m_source();
    });
    // The document stored by saveAs() is the one the office holds: what the file holds, laid
    // out as the office laid it out before storing it.
    officeStep(118, [&] {
        if (!kept)
            openWordDocument(office(), documentPath, false, ImportRepair::Page);
    });
    officeStep(120, [&] {
        page = office().renderFirstPage(kPageDotsPerMeter);
        m_pageCount = office().pageCount();
    });
    // The picture of a page that the office could not render is not there to keep.
    const bool made = !m_officeFailed && plainStep(122, [&] {
        if (page.isNull())
            throw Failure(QStringLiteral("There is no picture of the page to save."));
        if (!picturePath.isEmpty())
            replaceFile(bmpBytes(page), picturePath);
        m_page = page;
    });
    officeStep(124, [&] { office().closeWithoutSaving(); });
    officeStep(126, [&] { office().closeDocuments(); });
    m_office = nullptr;
    return made;
}

} // namespace lumarel
