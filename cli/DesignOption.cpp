#include "cli/DesignOption.h"

#include "app/Failure.h"
#include "designs/DesignCheck.h"
#include "designs/DesignSetting.h"

namespace lumarel::cli {

QCommandLineOption designOption()
{
    return {QStringLiteral("design"),
            QStringLiteral("With --output or --batch: makes the flyers from the built-in design "
                           "<name> (see --designs) or from the design file <file> (.doc, .dot, "
                           ".docx, .dotx, .odt or .ott); the design chosen in the window "
                           "otherwise."),
            QStringLiteral("name|file")};
}

QCommandLineOption paperOption()
{
    return {QStringLiteral("paper"),
            QStringLiteral("With --output or --batch: lays the built-in designs out for A4 (the "
                           "handout for A5) or for Letter (the handout for half-letter); the "
                           "paper chosen in the window, else the system's, otherwise. A design "
                           "file keeps its own page."),
            QStringLiteral("a4|letter")};
}

bool takesDesign(const QString& command)
{
    return command == u"output" || command == u"batch";
}

namespace {

FlyerDesign givenOrStored(const QCommandLineParser& parser, Console& console)
{
    if (parser.isSet(QStringLiteral("design"))) {
        const QString given = parser.value(QStringLiteral("design"));
        try {
            return chosenDesign(given);
        } catch (const Failure& failure) {
            throw UsageError{QStringLiteral("--design %1: %2").arg(given, failure.description())};
        }
    }
    QString notice;
    const FlyerDesign design = DesignSetting().current(&notice);
    if (!notice.isEmpty())
        console.err << QStringLiteral("lumarel: %1").arg(notice) << Qt::endl;
    return design;
}

} // namespace

FlyerDesign designToUse(const QCommandLineParser& parser, Console& console)
{
    Paper paper = Paper::Letter;
    const QString givenPaper = parser.value(QStringLiteral("paper"));
    if (parser.isSet(QStringLiteral("paper")) && !paperFromName(givenPaper, &paper))
        throw UsageError{QStringLiteral("--paper %1: there is no such paper; the papers are %2.")
                             .arg(givenPaper, paperNames())};
    FlyerDesign design = givenOrStored(parser, console);
    if (parser.isSet(QStringLiteral("paper")))
        design.paper = paper;
    // Said once for the whole command; a design that cannot be read is reported by its flyers.
    try {
        if (!design.builtIn && readDesign(design.path).linksToWeb)
            console.err << QStringLiteral("lumarel: %1").arg(webContentText(design.path))
                        << Qt::endl;
    } catch (const Failure&) {
    }
    return design;
}

} // namespace lumarel::cli
