#pragma once

#include <QString>

#include <span>

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
    const char* officeFilter; // empty for the byte copy of the document
};

std::span<const SaveFormatInfo> saveFormats();
const SaveFormatInfo& saveFormat(SaveFormat format);
// All formats as one filter text for the file dialog, the default first.
QString saveDialogFilter();

struct SaveTarget
{
    QString path;
    SaveFormat format;
};

// A typed name that ends in one of the formats' extensions decides the format; otherwise the
// selected filter does, and a name without any extension gets that format's extension. The
// Word 97 copy keeps the name exactly as typed.
SaveTarget saveTargetFor(const QString& typedName, const QString& selectedFilter);

// Makes `target` from the Word document through the office: the document is opened hidden and
// read-only and stored with the format's filter into a new file beside the target, which then
// replaces the target in one rename. On any failure the target is left as it was, nothing
// else is left behind, and a Failure says why.
void exportDocument(OfficeEngine& office, const QString& document, const QString& target,
                    SaveFormat format);

} // namespace lumarel
