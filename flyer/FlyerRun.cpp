#include "flyer/FlyerRun.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "app/RegularFile.h"
#include "app/StepTrap.h"
#include "app/TempFolder.h"
#include "designs/DesignCheck.h"
#include "designs/FlyerTemplate.h"
#include "designs/OdfTextFrames.h"
#include "flyer/FontCoverage.h"
#include "office/OfficeEngine.h"
#include "office/OfficeSession.h"
#include "office/TextFit.h"
#include "runfiles/RunLock.h"
#include "wordimport/ReadyTemplate.h"
#include "wordimport/TextBoxRepair.h"
#include "wordimport/WordImportRepair.h"
#include "wordimport/WordMlTextBoxes.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <utility>

namespace lumarel {

namespace {

// Far more than any design with its pictures holds; the file is read whole.
constexpr qint64 kLargestDesign = qint64(256) << 20;

} // namespace

FlyerRun::FlyerRun(OfficeSession& session) : m_session(session) {}

FlyerRun::~FlyerRun() = default;

OfficeEngine& FlyerRun::office()
{
    if (!m_office)
        throw Failure(QStringLiteral("There is no office instance to work with, because it "
                                     "could not be started."));
    return *m_office;
}

bool FlyerRun::plainStep(FlyerStage stage, const std::function<void()>& body)
{
    return (*m_step)(stage, [&] {
        try {
            body();
        } catch (...) {
            m_failure = describeCurrentException();
            throw;
        }
    });
}

bool FlyerRun::officeStep(FlyerStage stage, const std::function<void()>& body)
{
    if (m_officeFailed)
        return false;
    const bool done = plainStep(stage, body);
    m_officeFailed = !done;
    return done;
}

void FlyerRun::fill(const FlyerFields& fields, const StepRunner& step)
{
    openTemplate(step);
    putTexts(fields, step);
}

QString openedAheadKey(const FlyerDesign& design, ImportRepair use)
{
    if (!design.builtIn)
        return QString();
    return (design.isDefault() ? QStringLiteral("template") : design.resource()) +
           (use == ImportRepair::Page ? QLatin1String(" page") : QLatin1String(" whole"));
}

QStringList FlyerRun::designBookmarks() const
{
    return m_designBookmarks.value_or(designBookmarkNames());
}

void FlyerRun::lock()
{
    if (!ownsCopy())
        m_lock = std::make_unique<RunLock>();
}

void FlyerRun::openTemplate(const StepRunner& step)
{
    m_step = &step;
    m_designBookmarks.reset();
    m_designCopy.clear();
    officeStep(FlyerStage::TakeOffice, [&] { m_office = &m_session.office(); });
    // The office may hold the design opened ahead; a template copy left in the folder is
    // opened instead, as it is.
    const bool leftover =
        m_design.isDefault() && m_copyFolder.isEmpty() && FileExists(templateCopyPath());
    if (m_office && !leftover) {
        if (std::optional<OpenedAhead> ahead = m_session.takeAhead(aheadKey())) {
            if (!m_design.isDefault())
                m_designBookmarks = ahead->bookmarks;
            plainStep(FlyerStage::CopyTemplate, [&] { lock(); });
            return;
        }
    }
    if (!m_design.isDefault()) {
        openDesign();
        return;
    }
    m_designCopy = templateCopyPath(m_copyFolder);
    QByteArray templateBytes;
    plainStep(FlyerStage::ReadTemplate, [&] { templateBytes = embeddedTemplate(); });
    bool foundCopy = false;
    plainStep(FlyerStage::CopyTemplate, [&] {
        lock();
        foundCopy = FileExists(m_designCopy);
        if (!foundCopy)
            SaveBytesToFile(templateBytes, m_designCopy);
    });
    officeStep(FlyerStage::OpenTemplate, [&] {
        // Another run owns the copy now.
        if (!ownsCopy())
            throw Failure(QStringLiteral("The flyer template was not opened, because the "
                                         "temporary folder is in use by another run."));
        // A copy that an earlier run left is opened as it is.
        if (foundCopy)
            openWordDocument(office(), m_designCopy, true);
        else
            openFlyerTemplate(office(), m_designCopy, m_templateUse);
    });
}

// The steps of openTemplate() for any other design than the default: its copy takes the
// design file's ending, by which the office picks its import filter, and is made anew each
// time, since the design may have changed.
void FlyerRun::openDesign()
{
    QByteArray designBytes;
    QString& copyPath = m_designCopy;
    plainStep(FlyerStage::ReadTemplate, [&] {
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
        copyPath = designCopyPath(QFileInfo(source).suffix(), m_copyFolder);
    });
    plainStep(FlyerStage::CopyTemplate, [&] {
        lock();
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
    officeStep(FlyerStage::OpenTemplate, [&] {
        if (!ownsCopy())
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
// Any other text that stands in a box of fixed size gets smaller down to the same floor.
const TextFit kBoxFit{60, 5, 1, TextFit::Measure::FixedBox};

} // namespace

void FlyerRun::putTexts(const FlyerFields& fields, const StepRunner& step)
{
    m_step = &step;
    m_unfitted.clear();
    m_mixedDirections.clear();
    QString dateText, orgText, addrText;
    plainStep(FlyerStage::DateText, [&] { dateText = eventDateText(fields.eventDate); });
    plainStep(FlyerStage::OrgNameText, [&] { orgText = orgNameText(fields.orgName); });
    plainStep(FlyerStage::AddrText, [&] { addrText = eventAddrText(fields.location); });
    // The bookmarks are looked up together, in the first bookmark's step; a template opened
    // ahead has them looked up already.
    bool lookedUp = false;
    const auto put = [&](FlyerStage stage, const char* bookmark, const auto& text) {
        // A design fills only the bookmarks it holds.
        if (m_designBookmarks && !m_designBookmarks->contains(QLatin1String(bookmark)))
            return;
        officeStep(stage, [&] {
            if (!std::exchange(lookedUp, true))
                office().findBookmarks(m_designBookmarks.value_or(designBookmarkNames()), false);
            office().setBookmarkText(QLatin1String(bookmark), text());
        });
    };
    put(FlyerStage::PutOrgName, "OrgName", [&] { return orgText; });
    put(FlyerStage::PutEventName, "EventName", [&] { return eventNameText(fields.eventName); });
    put(FlyerStage::PutEventDate, "EventDate", [&] { return dateText; });
    put(FlyerStage::PutEventTime, "EventTime", [&] { return eventTimeText(fields.eventTime); });
    put(FlyerStage::PutEventAddr, "EventAddr", [&] { return addrText; });
    put(FlyerStage::PutEventMore, "EventMore",
        [&] { return eventMoreText(fields.more, fields.infoOrg, fields.plans, fields.items); });
    // Measured once every text is in, so that the office lays the page out once.
    officeStep(FlyerStage::FitTexts, [&] {
        // The classic design's name runs along its strip on either paper.
        if (!m_designBookmarks || m_design.builtIn == &defaultDesign()) {
            if (!office().fitBookmarkText(QStringLiteral("OrgName"), kStripFit))
                m_unfitted << QStringLiteral("OrgName");
            if (mixesDirections(orgText))
                m_mixedDirections << QStringLiteral("OrgName");
            return;
        }
        for (const QString& name : designBookmarkNames())
            if (m_designBookmarks->contains(name) && !office().fitBookmarkText(name, kBoxFit))
                m_unfitted << name;
    });
}

bool FlyerRun::save(const QString& documentPath, const StepRunner& step, AfterSave after)
{
    m_step = &step;
    m_keptDocument.clear();
    const bool saved = officeStep(FlyerStage::Save, [&] { office().saveAs(documentPath); });
    // The page of a turned name that mixes directions comes from the file's import, which lays
    // it out as it reads (see restoreTextBoxBookmarks).
    if (saved && after == AfterSave::KeepForPage && m_mixedDirections.isEmpty()) {
        // Closed by capturePage(), once its page is rendered.
        m_keptDocument = documentPath;
        return true;
    }
    officeStep(FlyerStage::CloseSaved, [&] { office().closeWithoutSaving(); });
    // The office stays for the next run, without the document.
    officeStep(FlyerStage::CloseDocuments, [&] { office().closeDocuments(); });
    step(FlyerStage::LetOffice, [&] { m_office = nullptr; });
    return saved;
}

bool FlyerRun::capturePage(const QString& documentPath, const StepRunner& step)
{
    m_step = &step;
    QImage page;
    m_page = QImage();
    const bool kept = m_office && !m_keptDocument.isEmpty() && m_keptDocument == documentPath;
    m_keptDocument.clear();
    officeStep(FlyerStage::TakeOfficeForPage, [&] {
        if (!kept)
            m_office = &m_session.office();
    });
    // The document stored by saveAs() is the one the office holds: what the file holds, laid
    // out as the office laid it out before storing it.
    officeStep(FlyerStage::OpenSaved, [&] {
        if (!kept)
            openWordDocument(office(), documentPath, false, ImportRepair::Page);
    });
    officeStep(FlyerStage::RenderPage, [&] {
        page = office().renderFirstPage(kPageDotsPerMeter);
        m_pageCount = office().pageCount();
    });
    // The picture of a page that the office could not render is not there to keep.
    const bool made = !m_officeFailed && plainStep(FlyerStage::KeepPage, [&] {
        if (page.isNull())
            throw Failure(QStringLiteral("There is no picture of the page to save."));
        m_page = page;
    });
    officeStep(FlyerStage::ClosePage, [&] { office().closeWithoutSaving(); });
    officeStep(FlyerStage::ClosePageDocuments, [&] { office().closeDocuments(); });
    m_office = nullptr;
    return made;
}

} // namespace lumarel
