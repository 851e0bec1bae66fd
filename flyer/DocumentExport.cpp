#include "flyer/DocumentExport.h"

#include "app/Failure.h"
#include "flyer/PageCapture.h"
#include "flyer/WordMlStyles.h"
#include "office/OfficeEngine.h"
#include "runfiles/FileBeside.h"
#include "runfiles/PartFiles.h"
#include "wordimport/WordImportRepair.h"

#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QStringList>

#include <array>

namespace lumarel {

namespace {

const QString kPictureExtension = QStringLiteral("png");

const std::array<SaveFormatInfo, 4> kFormats{{
    {SaveFormat::Word97, "Word Files (*.doc)", "doc", "MS Word 97"},
    {SaveFormat::Word2007, "Word 2007-365 Files (*.docx)", "docx", "MS Word 2007 XML"},
    {SaveFormat::OpenDocument, "OpenDocument Text (*.odt)", "odt", "writer8"},
    {SaveFormat::Pdf, "PDF Files (*.pdf)", "pdf", "writer_pdf_Export"},
}};

// The office closes its document however the export ends.
struct OpenDocument
{
    OfficeEngine& office;
    ~OpenDocument()
    {
        try {
            office.closeWithoutSaving();
        } catch (...) {
        }
    }
};

} // namespace

const SaveFormatInfo& saveFormat(SaveFormat format)
{
    for (const SaveFormatInfo& info : kFormats)
        if (info.format == format)
            return info;
    return kFormats.front();
}

QString saveDialogFilter()
{
    QStringList filters;
    for (const SaveFormatInfo& info : kFormats)
        filters << QLatin1String(info.filter);
    return filters.join(QStringLiteral(";;"));
}

std::optional<SaveFormat> saveFormatOfExtension(const QString& extension)
{
    for (const SaveFormatInfo& info : kFormats)
        if (extension.compare(QLatin1String(info.extension), Qt::CaseInsensitive) == 0)
            return info.format;
    return std::nullopt;
}

SaveTarget saveTargetFor(const QString& typedName, const QString& selectedFilter)
{
    const QString suffix = QFileInfo(typedName).suffix();
    if (const std::optional<SaveFormat> typed = saveFormatOfExtension(suffix))
        return {typedName, *typed, QString()};
    const SaveFormatInfo* chosen = &kFormats.front();
    for (const SaveFormatInfo& info : kFormats)
        if (selectedFilter == QLatin1String(info.filter))
            chosen = &info;
    if (suffix.isEmpty())
        return {typedName + QLatin1Char('.') + QLatin1String(chosen->extension), chosen->format,
                QString()};
    QStringList extensions;
    for (const SaveFormatInfo& info : kFormats)
        extensions << QLatin1Char('.') + QLatin1String(info.extension);
    const QString last = extensions.takeLast();
    return {typedName, chosen->format,
            QStringLiteral("The flyer cannot be saved as %1: the name must end in %2 or %3, or "
                           "have no extension to take the chosen file type's.")
                .arg(QFileInfo(typedName).fileName(), extensions.join(QStringLiteral(", ")), last)};
}

std::optional<OutputFormat> formatOfExtension(const QString& extension)
{
    if (extension.compare(kPictureExtension, Qt::CaseInsensitive) == 0)
        return OutputFormat{};
    if (const std::optional<SaveFormat> document = saveFormatOfExtension(extension))
        return OutputFormat{document};
    return std::nullopt;
}

bool showsOnlyThePage(OutputFormat format)
{
    return !format.document || *format.document == SaveFormat::Pdf;
}

QString extensionOf(OutputFormat format)
{
    return format.document ? QString::fromLatin1(saveFormat(*format.document).extension)
                           : kPictureExtension;
}

void exportOpenDocument(OfficeEngine& office, SaveFormat format, const QString& path)
{
    office.exportCopy(path, QLatin1String(saveFormat(format).officeFilter));
    if (format == SaveFormat::Word2007)
        tidyWordMlExport(path);
}

int writeOpenDocument(OfficeEngine& office, OutputFormat format, const QString& path)
{
    if (format.document) {
        exportOpenDocument(office, *format.document, path);
    } else {
        QImageWriter writer(path, "png");
        if (!writer.write(office.renderFirstPage(kPageDotsPerMeter)))
            throw Failure(QStringLiteral("The page picture %1 could not be written: %2")
                              .arg(path, writer.errorString()));
    }
    return office.pageCount();
}

int writeFromWordFile(OfficeEngine& office, const QString& wordFile, OutputFormat format,
                      const QString& path)
{
    // The page alone matters in a PDF and a picture, so the import repairs only the page. An
    // .odt shows the import's turned shape as the page does; the office reads a .docx's turned
    // shape back across the page, so a .docx keeps the frame.
    openWordDocument(office, wordFile, true,
                     showsOnlyThePage(format) ? ImportRepair::Page
                     : format.document == SaveFormat::OpenDocument
                         ? ImportRepair::WholeKeepingTurnedShapes
                         : ImportRepair::Whole);
    const OpenDocument opened{office};
    return writeOpenDocument(office, format, path);
}

void copyDocument(const QString& document, const QString& target)
{
    FileBeside made(target);
    QFile source(document);
    QByteArray bytes;
    if (source.open(QIODevice::ReadOnly))
        bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        throw Failure(QStringLiteral("The file %1 could not be copied to %2: %3")
                          .arg(document, target, source.errorString()));
    QFile copy(made.path());
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size() || !copy.flush())
        throw Failure(QStringLiteral("The file %1 could not be copied to %2: %3")
                          .arg(document, target, copy.errorString()));
    copy.close();
    made.commit(true);
}

void exportDocument(OfficeEngine& office, const QString& document, const QString& target,
                    SaveFormat format)
{
    FileBeside made(target);
    try {
        writePrivatelyThenMove(made.path(), [&](const QString& privatePath) {
            writeFromWordFile(office, document, {format}, privatePath);
        });
    } catch (const Failure& failure) {
        throw Failure(namingTarget(failure.description(), target));
    }
    made.commit(true);
}

} // namespace lumarel
