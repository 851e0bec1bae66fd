#pragma once

#include "flyer/BookmarkTexts.h"
#include "flyer/Designs.h"
#include "flyer/DocumentExport.h"

#include <QString>

#include <memory>
#include <optional>

namespace lumarel {
class FlyerRun;
class OfficeEngine;
class OfficePool;
} // namespace lumarel

namespace lumarel::cli {

struct Console;

// A flyer file's format: one of the formats the preview saves, or a picture of the page.
struct OutputFormat
{
    std::optional<SaveFormat> document; // none for the page picture
};

// The format of a file-name extension (without the dot, any case).
std::optional<OutputFormat> formatOfExtension(const QString& extension);
QString extensionOf(OutputFormat format);

// Writes the office's active document to `path` in `format`; the office's own document stays
// as it is. Throws Failure.
void writeOpenDocument(OfficeEngine& office, OutputFormat format, const QString& path);
// The same through a Word 97 copy of the active document: formats other than Word 97 are made
// from that copy opened again, as the window makes them from the flyer it saved.
// Returns the number of pages of the flyer.
int writeThroughWordFile(OfficeEngine& office, OutputFormat format, const QString& path);

// Makes flyers one after another with one office of a pool and one open template: each flyer
// puts its texts into the same document and writes it out. The file appears under its own name
// only when it is complete. The office goes back to the pool with the maker.
class FlyerMaker
{
public:
    explicit FlyerMaker(OfficePool& offices);
    ~FlyerMaker();

    // Takes an office from the pool; throws Failure when none can be started.
    void start();
    // The design every flyer of the maker is made from; the default one until set.
    void setDesign(const FlyerDesign& design) { m_design = design; }
    // Makes one flyer at `path`; an existing file is replaced only when `replace` is true.
    // Throws Failure; the next flyer starts afresh. Returns the number of pages of the flyer.
    int make(const FlyerFields& fields, OutputFormat format, const QString& path, bool replace);

private:
    void openTemplate();
    void discardDocument();
    // Gives the office back, ended when it failed.
    void release(bool failed);

    OfficePool& m_offices;
    OfficeEngine* m_office = nullptr;
    std::unique_ptr<FlyerRun> m_run;
    FlyerDesign m_design;
    bool m_ready = false;
};

// Starts the maker's office; when it cannot be started, tells why and what to do on the
// console and returns false, for the command to end with kNoOffice.
bool startOffice(FlyerMaker& maker, Console& console);

} // namespace lumarel::cli
