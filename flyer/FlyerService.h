#pragma once

#include "designs/Designs.h"
#include "flyer/BookmarkTexts.h"
#include "flyer/DocumentExport.h"
#include "flyer/FlyerRun.h"
#include "office/OfficeSession.h"

#include <QImage>
#include <QString>

#include <memory>
#include <optional>

namespace lumarel {

// A stage that failed, and why.
struct StageFailure
{
    FlyerStage stage;
    QString reason;
};

// A flyer the window made, as it shows it.
struct WindowFlyer
{
    QString document; // the Word 97 document, there only when saved
    bool saved = false;
    QImage page; // its first page as written to the picture file; null when none was
    int pageCount = 0;
    QStringList unfitted; // the bookmarks whose text did not fit its place
    QString failure;      // why the last failing step failed
    bool officeFailed = false;
    QList<StageFailure> failures; // every stage that failed, in the order they ran
};

// A flyer file that make() wrote.
struct MadeFlyer
{
    int pages = 0;
    QStringList unfitted; // the bookmarks whose text did not fit its place
    // Those of FlyerRun::mixedDirections() in a file that keeps the office's frame: a .docx,
    // which the office shows with part of the text upside down.
    QStringList mixedDirections;
};

// Opens `design` in `office` ahead of the window's next flyer, as a flyer run opens it, with its
// bookmarks looked up, for OfficePool::prepareWith(). Only a built-in design, and only when the
// temporary folder holds no template copy: a copy left there is for the next run to open as it
// is. Nothing when it could not be opened.
std::optional<OpenedAhead> openDesignAhead(OfficeEngine& office, const FlyerDesign& design);

// The office work of every face of the program, on offices of one pool: the window's flyer,
// the preview's saved formats and the command line's flyer files. Each call gives its office
// back on every path, except that the command line's flyers keep one office and its open
// template from one call to the next, until the service ends or a flyer fails.
class FlyerService
{
public:
    explicit FlyerService(OfficePool& offices);
    ~FlyerService();
    FlyerService(const FlyerService&) = delete;
    FlyerService& operator=(const FlyerService&) = delete;

    // The window's flyer: the template filled, the document saved at `documentPath` and its
    // page captured, the run's files removed. A stage that fails is recorded and the run goes
    // on, as far as the office allows; the office is given back before this returns.
    WindowFlyer makeForWindow(const FlyerFields& fields, const FlyerDesign& design,
                              const QString& documentPath);

    // Writes a saved flyer document to `target` in `format`: Word 97 as a copy of its bytes,
    // the others through an office. The target appears only when complete. Throws Failure.
    void saveDocument(const QString& document, const QString& target, SaveFormat format);

    // The command line's flyers. The design of every flyer of make(); the default until set.
    void setDesign(const FlyerDesign& design) { m_design = design; }
    // Takes the office; throws Failure when none can be started.
    void start();
    // Makes one flyer at `path`, an existing file replaced only when `replace` is true: the
    // flyer the window makes, its page as the window shows it and every other format as the
    // preview saves it. Throws Failure; the next flyer starts afresh.
    MadeFlyer make(const FlyerFields& fields, OutputFormat format, const QString& path,
                   bool replace);

private:
    void openTemplate(ImportRepair use);
    void discardTemplate();

    OfficePool& m_offices;
    OfficeSession m_kept; // make()'s office, kept between calls
    std::unique_ptr<FlyerRun> m_run;
    ImportRepair m_templateUse = ImportRepair::Whole; // of the template m_run holds
    FlyerDesign m_design;
};

} // namespace lumarel
