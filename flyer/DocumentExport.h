#pragma once

#include <QString>

#include <optional>

namespace lumarel {

class OfficeEngine;

// The formats the preview saves the flyer in; the first is the default.
enum class SaveFormat
{
    Word97,
    Word2007,
    OpenDocument,
    Pdf
};

struct SaveFormatInfo
{
    SaveFormat format;
    const char* filter;       // as the save dialog lists it
    const char* extension;    // without the dot
    const char* officeFilter; // the office's export filter
};

const SaveFormatInfo& saveFormat(SaveFormat format);
// The format whose extension this is (without the dot, any case).
std::optional<SaveFormat> saveFormatOfExtension(const QString& extension);
// All formats as one filter text for the file dialog, the default first.
QString saveDialogFilter();

struct SaveTarget
{
    QString path;
    SaveFormat format;
    // Why the name cannot be saved under (an extension no format has); empty when it can.
    QString refusal;
};

// A typed name that ends in one of the formats' extensions decides the format; a name without
// an extension gets the selected filter's format and extension; any other extension is refused.
SaveTarget saveTargetFor(const QString& typedName, const QString& selectedFilter);

// A flyer file's format: one of the formats the preview saves, or a picture of the page.
struct OutputFormat
{
    std::optional<SaveFormat> document; // none for the page picture
};

// The format of a file-name extension (without the dot, any case).
std::optional<OutputFormat> formatOfExtension(const QString& extension);
QString extensionOf(OutputFormat format);
// A PDF and the page picture: formats that hold what shows on the page, not the document's
// structure.
bool showsOnlyThePage(OutputFormat format);

// Writes the office's active document to `path` in `format`; the office's own document stays
// as it is. Throws Failure.
void exportOpenDocument(OfficeEngine& office, SaveFormat format, const QString& path);

// Writes the office's active document to `path` in `format` and returns its number of pages;
// the office's own document stays as it is. Throws Failure.
int writeOpenDocument(OfficeEngine& office, OutputFormat format, const QString& path);

// Every format of a flyer is made from its Word 97 file: opened in the office, written to
// `path` and closed again. Returns the number of pages of the flyer. Throws Failure.
int writeFromWordFile(OfficeEngine& office, const QString& wordFile, OutputFormat format,
                      const QString& path);

// Makes `target` a byte-for-byte copy of the Word document, written beside it and renamed over
// it when complete: on any failure the target is left as it was, and a Failure says why.
void copyDocument(const QString& document, const QString& target);

// Makes `target` from the Word document through the office (the preview saves Word 97 with
// copyDocument instead): the document is opened hidden and read-only and stored
// with the format's filter into a new file beside the target, which then replaces the target
// in one rename. On any failure the target is left as it was, nothing else is left behind,
// and a Failure says why.
void exportDocument(OfficeEngine& office, const QString& document, const QString& target,
                    SaveFormat format);

} // namespace lumarel
