#pragma once

#include "flyer/BookmarkTexts.h"

#include <QString>

#include <memory>
#include <optional>

namespace lumarel {
class FlyerRun;
class OfficeEngine;
} // namespace lumarel

namespace lumarel::cli {

enum class OutputFormat
{
    Doc,
    Docx,
    Odt,
    Pdf,
    Png,
};

// The format of a file-name extension (without the dot, any case).
std::optional<OutputFormat> formatOfExtension(const QString& extension);
QString extensionOf(OutputFormat format);

// Writes the office's active document to `path` in `format`; the office's own document stays
// as it is. Throws Failure.
void writeOpenDocument(OfficeEngine& office, OutputFormat format, const QString& path);

// Makes flyers one after another with one office and one open template: each flyer puts its
// texts into the same document and writes it out. The file appears under its own name only
// when it is complete.
class FlyerMaker
{
public:
    FlyerMaker();
    ~FlyerMaker();

    // Starts the office; throws Failure when it cannot be started.
    void start();
    // Makes one flyer at `path`; an existing file is replaced only when `replace` is true.
    // Throws Failure; the next flyer starts afresh.
    void make(const FlyerFields& fields, OutputFormat format, const QString& path, bool replace);

private:
    void openTemplate();
    void discardDocument();

    std::unique_ptr<OfficeEngine> m_office;
    std::unique_ptr<FlyerRun> m_run;
    bool m_ready = false;
};

} // namespace lumarel::cli
