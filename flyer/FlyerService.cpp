#include "flyer/FlyerService.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "app/StepTrap.h"
#include "designs/FlyerTemplate.h"
#include "office/OfficeEngine.h"
#include "runfiles/FileBeside.h"
#include "runfiles/PartFiles.h"

#include <QFile>

namespace lumarel {

namespace {

// The stages of a run that failed, in order. The command line's flyers stop at the first:
// the stages after it are not run.
class StageRecord
{
public:
    explicit StageRecord(bool stopAtFirst) : m_stopAtFirst(stopAtFirst) {}
    FlyerRun::StepRunner runner()
    {
        return [this](FlyerStage stage, const std::function<void()>& body) {
            if (m_stopAtFirst && !m_failures.isEmpty())
                return false;
            try {
                body();
                return true;
            } catch (...) {
                m_failures.append({stage, describeCurrentException()});
            }
            return false;
        };
    }
    const QList<StageFailure>& failures() const { return m_failures; }
    void throwFirst() const
    {
        if (!m_failures.isEmpty())
            throw Failure(m_failures.first().reason);
    }

private:
    bool m_stopAtFirst;
    QList<StageFailure> m_failures;
};

// The filled template written in `format`, as the window's flyer: its Word 97 file is the
// document as the office holds it, and so is its page, which the window shows without reading
// the file back. What else a format holds is made from the Word 97 file, as the preview saves it,
// and so is the page of a turned name that mixes directions (see restoreTextBoxBookmarks).
int writeFilledTemplate(OfficeEngine& office, OutputFormat format, const QString& path,
                        bool mixedDirections)
{
    if ((showsOnlyThePage(format) && !mixedDirections) || format.document == SaveFormat::Word97)
        return writeOpenDocument(office, format, path);
    const FileBeside saved(path + QStringLiteral(".doc"));
    exportOpenDocument(office, SaveFormat::Word97, saved.path());
    return writeFromWordFile(office, saved.path(), format, path);
}

} // namespace

std::optional<OpenedAhead> openDesignAhead(OfficeEngine& office, const FlyerDesign& design)
{
    OfficeSession session(office);
    FlyerRun run(session);
    run.setDesign(design);
    // The office's own folder: the shared temporary folder stays free for the flyers' runs.
    run.setCopyFolder(office.privateFolder());
    const QString key = run.aheadKey();
    if (key.isEmpty() || (design.isDefault() && FileExists(templateCopyPath())))
        return std::nullopt;
    StageRecord steps(true);
    run.openTemplate(steps.runner());
    if (!run.designCopy().isEmpty())
        QFile::remove(run.designCopy());
    if (!steps.failures().isEmpty())
        return std::nullopt;
    // Looked up now, so that the flyer only puts the texts in.
    office.findBookmarks(run.designBookmarks());
    return OpenedAhead{key, run.designBookmarks()};
}

FlyerService::FlyerService(OfficePool& offices) : m_offices(offices), m_kept(offices) {}

FlyerService::~FlyerService() = default;

WindowFlyer FlyerService::makeForWindow(const FlyerFields& fields, const FlyerDesign& design,
                                        const QString& documentPath)
{
    OfficeSession use(m_offices);
    FlyerRun run(use);
    run.setDesign(design);
    StageRecord record(false);
    const FlyerRun::StepRunner step = record.runner();
    run.fill(fields, step);
    WindowFlyer flyer;
    flyer.saved = run.save(documentPath, step, FlyerRun::AfterSave::KeepForPage);
    // Without a document there is nothing to capture or to show.
    if (flyer.saved) {
        flyer.document = documentPath;
        run.capturePage(documentPath, step);
    }
    flyer.page = run.page();
    flyer.pageCount = run.pageCount();
    flyer.unfitted = run.unfitted();
    flyer.failure = run.failure();
    flyer.officeFailed = run.officeFailed();

    // The run still holds the temporary folder: nobody else's files go with its own.
    if (!flyer.saved && !documentPath.isEmpty())
        RemoveFile(documentPath); // what a failed save may have left
    step(FlyerStage::RemoveCopies, [&] {
        RemoveFile(templateCopyPath());
        if (!run.designCopy().isEmpty() && run.designCopy() != templateCopyPath())
            RemoveFile(run.designCopy());
    });
    // The office readies itself for the next flyer as soon as it is back, in the folder too.
    run.unlock();
    // An office that failed is replaced in the background, ready for the next flyer.
    use.setFailed(run.officeFailed());
    use.end();
    flyer.failures = record.failures();
    return flyer;
}

void FlyerService::saveDocument(const QString& document, const QString& target, SaveFormat format)
{
    if (format == SaveFormat::Word97) {
        copyDocument(document, target);
        return;
    }
    OfficeSession use(m_offices);
    exportDocument(use.office(), document, target, format);
}

void FlyerService::start()
{
    m_kept.office();
}

void FlyerService::openTemplate(ImportRepair use)
{
    auto run = std::make_unique<FlyerRun>(m_kept);
    run->setDesign(m_design);
    run->setTemplateUse(use);
    m_templateUse = use;
    StageRecord steps(true);
    run->openTemplate(steps.runner());
    // The office holds the template now: other runs may have the temporary folder back.
    if (run->locked())
        QFile::remove(run->designCopy());
    run->unlock();
    steps.throwFirst();
    m_run = std::move(run);
}

void FlyerService::discardTemplate()
{
    m_run.reset();
    OfficeEngine* office = m_kept.current();
    bool failed = !office || office->processId() == 0;
    try {
        if (!failed)
            office->closeWithoutSaving();
    } catch (const Failure&) {
        failed = true;
    }
    if (failed) {
        m_kept.setFailed(true);
        m_kept.end();
    }
}

MadeFlyer FlyerService::make(const FlyerFields& fields, OutputFormat format, const QString& path,
                             bool replace)
{
    FileBeside part(path);
    MadeFlyer made;
    try {
        const ImportRepair use =
            showsOnlyThePage(format) ? ImportRepair::Page : ImportRepair::Whole;
        // A template opened for its page alone does not serve a whole document.
        if (m_run && use == ImportRepair::Whole && m_templateUse != use)
            discardTemplate();
        if (!m_run)
            openTemplate(use);
        StageRecord steps(true);
        m_run->putTexts(fields, steps.runner());
        steps.throwFirst();
        made.unfitted = m_run->unfitted();
        if (format.document == SaveFormat::Word2007)
            made.mixedDirections = m_run->mixedDirections();
        OfficeEngine& office = *m_kept.current();
        // The office's own lock and temporary files stay out of the user's folder.
        writePrivatelyThenMove(part.path(), [&](const QString& privatePath) {
            made.pages = writeFilledTemplate(office, format, privatePath,
                                             !m_run->mixedDirections().isEmpty());
        });
    } catch (const Failure& failure) {
        discardTemplate();
        throw Failure(namingTarget(failure.description(), path));
    }
    part.commit(replace);
    return made;
}

} // namespace lumarel
