#pragma once

#include "designs/Designs.h"
#include "flyer/BookmarkTexts.h"
#include "wordimport/WordImportRepair.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace lumarel {

class OfficeEngine;
class OfficeSession;
class RunLock;

// Resolution of the page picture: 10000 dots per metre (254 DPI) makes a US Letter page
// exactly 2159 x 2794 pixels, so the picture's physical size is the page's to the twip.
constexpr int kPageDotsPerMeter = 10000;

// The stages of a flyer run, in the order they run; the caller names them as it sees fit.
enum class FlyerStage
{
    TakeOffice,
    ReadTemplate,
    CopyTemplate,
    OpenTemplate,
    DateText,
    OrgNameText,
    AddrText,
    PutOrgName,
    PutEventName,
    PutEventDate,
    PutEventTime,
    PutEventAddr,
    PutEventMore,
    FitTexts,
    Save,
    CloseSaved,
    CloseDocuments,
    LetOffice,
    TakeOfficeForPage,
    OpenSaved,
    RenderPage,
    KeepPage,
    ClosePage,
    ClosePageDocuments,
    RemoveCopies, // the service's own, once the run is done
};

// What an office holds when it holds `design` opened ahead for `use`; empty for a design file,
// which may change between runs and is opened afresh each time.
QString openedAheadKey(const FlyerDesign& design, ImportRepair use);

// The office work of making one flyer: copy and open the template, put the six bookmark texts
// in, save the document, and capture its page. It needs no window; one office can make many
// flyers, one FlyerRun each, and is left running with no document open. Every stage runs
// through the caller's step runner, which records or reports a failure as it sees fit and says
// whether the stage succeeded. One office fault, one report: after the first office step that
// fails, the later steps that need the office or its work are not attempted.
class FlyerRun
{
public:
    using StepRunner = std::function<bool(FlyerStage stage, const std::function<void()>& body)>;
    // The office of the session, and the template it may hold opened ahead.
    explicit FlyerRun(OfficeSession& session);
    ~FlyerRun();

    // The design the next openTemplate() opens; the default design until set.
    void setDesign(const FlyerDesign& design) { m_design = design; }
    // How much of the default design the flyer uses: only its page spares the office work on
    // what shows nowhere. The whole until set.
    void setTemplateUse(ImportRepair use) { m_templateUse = use; }
    // A folder of the run's own for the design's copy, in place of the temporary folder's
    // shared names, which the run takes the temporary folder's lock for.
    void setCopyFolder(const QString& folder) { m_copyFolder = folder; }
    QString aheadKey() const { return openedAheadKey(m_design, m_templateUse); }
    // After openTemplate(): the bookmarks the open design holds.
    QStringList designBookmarks() const;

    // Takes the office, opens a copy of the template and puts the texts of `fields` in.
    void fill(const FlyerFields& fields, const StepRunner& step);
    // fill() in two parts, so that one open template serves many flyers.
    void openTemplate(const StepRunner& step);
    void putTexts(const FlyerFields& fields, const StepRunner& step);
    // The bookmarks whose text putTexts() could not fit into its place, even in smaller type.
    const QStringList& unfitted() const { return m_unfitted; }
    // The bookmarks whose text mixes right-to-left and left-to-right writing in a place turned
    // on its side, where the office's frame shows the runs of the other direction upside down:
    // their page is made from the saved file's import, which shows them as they read (see
    // restoreTextBoxBookmarks).
    const QStringList& mixedDirections() const { return m_mixedDirections; }
    // Lets other runs use the template copy and the page picture again; the run holds them
    // from the template copy until it ends or calls this.
    void unlock();
    bool locked() const { return m_lock != nullptr; }
    // The copy of the design that openTemplate() opened, in the temporary folder.
    const QString& designCopy() const { return m_designCopy; }
    // What save() does with the document once it is saved.
    enum class AfterSave
    {
        Close,
        // Kept open for capturePage(): the office holds the document as it just stored it, so
        // its page is rendered without reading the file back.
        KeepForPage,
    };
    // Saves the filled document at `documentPath`; true when it was saved.
    bool save(const QString& documentPath, const StepRunner& step,
              AfterSave after = AfterSave::Close);
    // Renders the first page of the saved document (the one save() kept open, or else the file
    // opened anew) and closes it; the picture is kept in page(). True when it was made.
    bool capturePage(const QString& documentPath, const StepRunner& step);

    // Whether an office step failed; the office is then not fit for another use as it is.
    bool officeFailed() const { return m_officeFailed; }
    // The pages of the document capturePage() last rendered; 0 before.
    int pageCount() const { return m_pageCount; }
    // The picture capturePage() last made; null before or when none was.
    const QImage& page() const { return m_page; }
    // Why the last failing step failed (the office's reason for an office step).
    const QString& failure() const { return m_failure; }

private:
    OfficeEngine& office();
    bool plainStep(FlyerStage stage, const std::function<void()>& body);
    bool officeStep(FlyerStage stage, const std::function<void()>& body);
    void openDesign();
    void lock();
    bool ownsCopy() const { return m_lock || !m_copyFolder.isEmpty(); }

    FlyerDesign m_design;
    ImportRepair m_templateUse = ImportRepair::Whole;
    QString m_copyFolder;
    // The bookmarks the open design holds; every one for the default design, which must hold
    // all six.
    std::optional<QStringList> m_designBookmarks;
    QString m_designCopy;

    OfficeSession& m_session;
    const StepRunner* m_step = nullptr; // the runner of the call in progress
    OfficeEngine* m_office = nullptr;
    bool m_officeFailed = false;
    int m_pageCount = 0;
    QString m_keptDocument; // the saved document save() left open, for capturePage()
    QImage m_page;
    QString m_failure;
    QStringList m_unfitted;
    QStringList m_mixedDirections;
    std::unique_ptr<RunLock> m_lock;
};

} // namespace lumarel
