#include "cli/DesignCommands.h"

#include "app/Failure.h"
#include "designs/DesignCheck.h"
#include "designs/Designs.h"

namespace lumarel::cli {

namespace {

// Wide enough for the longest bookmark or design name, so that the second column lines up.
constexpr int kNameColumn = 11;

} // namespace

QList<QCommandLineOption> DesignsCommand::options() const
{
    return {{QStringLiteral("designs"),
             QStringLiteral("Lists the designs built into the program, the default first.")}};
}

int DesignsCommand::execute(const QCommandLineParser&, Console& console)
{
    for (const BuiltInDesign& design : builtInDesigns()) {
        console.out << QString::fromLatin1(design.name).leftJustified(kNameColumn)
                    << QString::fromUtf8(design.title);
        if (&design == &defaultDesign())
            console.out << " (the default)";
        console.out << '\n';
    }
    console.out.flush();
    return kAllMade;
}

QList<QCommandLineOption> CheckDesignCommand::options() const
{
    return {{QStringLiteral("check-design"),
             QStringLiteral("Lists which of the bookmarks %1 the design <file> holds, and where: "
                            "main text, text box, table, header or footer. Exits 0 when it holds "
                            "one at least, 2 otherwise.")
                 .arg(designBookmarkNames().join(QStringLiteral(", "))),
             QStringLiteral("file")}};
}

int CheckDesignCommand::execute(const QCommandLineParser& parser, Console& console)
{
    const QString path = parser.value(QStringLiteral("check-design"));
    DesignContents design;
    try {
        design = readDesign(path);
    } catch (const Failure& failure) {
        // A file that is no design is a wrong argument, as the exit status tells.
        console.err << QStringLiteral("lumarel: %1").arg(failure.description()) << Qt::endl;
        return kBadUsage;
    }
    QStringList missing = designBookmarkNames();
    for (const DesignBookmark& bookmark : design.bookmarks) {
        console.out << bookmark.name.leftJustified(kNameColumn) << designPlaceText(bookmark.place)
                    << '\n';
        missing.removeOne(bookmark.name);
    }
    console.out.flush();
    if (!missing.isEmpty())
        console.err << QStringLiteral("lumarel: \"%1\" does not hold %2; a flyer leaves them out.")
                           .arg(path, missing.join(QStringLiteral(", ")))
                    << Qt::endl;
    if (design.linksToWeb)
        console.err << QStringLiteral("lumarel: %1").arg(webContentText(path)) << Qt::endl;
    return kAllMade;
}

} // namespace lumarel::cli
