#include "cli/MakeCommand.h"

#include "app/Failure.h"
#include "app/StopSignals.h"
#include "cli/BatchCommand.h"
#include "cli/DesignOption.h"
#include "cli/FlyerDetails.h"
#include "flyer/FlyerService.h"
#include "flyer/FontCoverage.h"
#include "flyer/RecordFields.h"
#include "office/OfficePool.h"
#include "runfiles/PartFiles.h"

#include <QFileInfo>

namespace lumarel::cli {

QList<QCommandLineOption> MakeCommand::options() const
{
    return {
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Makes one flyer from the stored details and writes it to <file>; its "
                        "extension gives the format: .doc, .docx, .odt, .pdf or .png (a picture "
                        "of the page)."),
         QStringLiteral("file")},
        {QStringLiteral("set"),
         QStringLiteral("With --output: uses <value> for the stored field <key> (the keys are "
                        "listed below); \\n in a value is a line break. May be repeated."),
         QStringLiteral("key=value")},
    };
}

int MakeCommand::execute(const QCommandLineParser& parser, Console& console)
{
    const QString output = parser.value(QStringLiteral("output"));
    const std::optional<OutputFormat> format = formatOfExtension(QFileInfo(output).suffix());
    if (!format)
        throw UsageError{QStringLiteral("--output %1: the file name must end in .doc, .docx, "
                                        ".odt, .pdf or .png")
                             .arg(output)};

    QHash<QString, QString> texts = storedTexts();
    QStringList setKeys;
    for (const QString& setting : parser.values(QStringLiteral("set"))) {
        const QString key = setting.section(QLatin1Char('='), 0, 0);
        if (!setting.contains(QLatin1Char('=')) || !isFieldKey(key))
            throw UsageError{QStringLiteral("--set %1: the key must be one of %2, followed by = "
                                            "and the value")
                                 .arg(setting, fieldKeys().join(QStringLiteral(", ")))};
        texts.insert(key, unescapeValue(setting.section(QLatin1Char('='), 1)));
        setKeys << key;
    }
    try {
        requireReadableStore(setKeys, console.err);
    } catch (const Failure& failure) {
        console.err << QStringLiteral("lumarel: %1").arg(failure.description()) << Qt::endl;
        return kOtherFailure;
    }
    EventRecord record;
    try {
        record = recordFromTexts(texts, setKeys);
    } catch (const Failure& failure) {
        const QString key = failure.description().section(QLatin1Char(':'), 0, 0);
        if (setKeys.contains(key))
            throw UsageError{QStringLiteral("--set %1").arg(failure.description())};
        console.err << QStringLiteral("lumarel: the stored %1").arg(failure.description())
                    << Qt::endl;
        // A stored text too long for a flyer is bad input as much as a given one.
        return texts.value(key).size() > kMaxFlyerText ? kBadUsage : kOtherFailure;
    }

    const FlyerDesign design = designToUse(parser, console);
    removeAbandonedPartFiles(QFileInfo(output).absolutePath());
    removeAbandonedExportFolders();
    const FinishBeforeStop finish;
    OfficePool offices; // ended with the command
    FlyerService flyers(offices);
    flyers.setDesign(design);
    if (!startOffice(flyers, console))
        return kNoOffice;
    try {
        const FlyerFields fields = flyerFields(record);
        const MadeFlyer made =
            flyers.make(fields, *format, QFileInfo(output).absoluteFilePath(), true);
        for (const QString& notice : flyerNotices(fields, made.pages, made.unfitted,
                                                  made.mixedDirections, !format->document))
            console.err << QStringLiteral("lumarel: %1: %2").arg(output, notice) << Qt::endl;
    } catch (const Failure& failure) {
        console.err << QStringLiteral("lumarel: %1: %2").arg(output, failure.description())
                    << Qt::endl;
        return kOtherFailure;
    }
    // Ctrl+C lets the flyer being made finish, but the run still counts as stopped.
    if (stopRequested()) {
        console.err << QStringLiteral("lumarel: stopped; %1 was made before the stop").arg(output)
                    << Qt::endl;
        return kOtherFailure;
    }
    return kAllMade;
}

} // namespace lumarel::cli
