#include "cli/CommandLine.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "app/ProgramEnd.h"
#include "app/StopSignals.h"
#include "cli/BatchCommand.h"
#include "cli/DesignCommands.h"
#include "cli/DesignOption.h"
#include "cli/FlyerDetails.h"
#include "cli/HelpText.h"
#include "cli/MakeCommand.h"
#include "flyer/EngineCheck.h"
#include "flyer/FlyerService.h"
#include "office/OfficeProfile.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace lumarel::cli {

namespace {

std::vector<std::unique_ptr<Command>> commands()
{
    std::vector<std::unique_ptr<Command>> list;
    list.push_back(std::make_unique<MakeCommand>());
    list.push_back(std::make_unique<BatchCommand>());
    list.push_back(std::make_unique<DesignsCommand>());
    list.push_back(std::make_unique<CheckDesignCommand>());
    return list;
}

} // namespace

QString officeAdviceText()
{
    QString advice = engineAdvice();
    return advice.replace(QLatin1String("\r\n"), QLatin1String("\n")) + QLatin1Char('\n');
}

bool startOffice(FlyerService& flyers, Console& console)
{
    try {
        flyers.start();
        return true;
    } catch (const Failure& failure) {
        console.err << failure.description() << Qt::endl;
        // A cache folder that cannot be written is no matter of installing the office.
        if (cacheFolderProblem().isEmpty())
            console.err << Qt::endl << officeAdviceText();
        return false;
    }
}

bool wantsCommandLine(const QStringList& arguments)
{
    // The window takes Qt's own options (-platform offscreen, -style Fusion, -reverse); any
    // other argument is for the command line, which refuses what it does not know. A lone "-"
    // or an unknown "-x" would otherwise start the window, which aborts without a display.
    static const QStringList qtOptionsWithValue{QStringLiteral("-platform"),
                                                QStringLiteral("-platformpluginpath"),
                                                QStringLiteral("-platformtheme"),
                                                QStringLiteral("-plugin"),
                                                QStringLiteral("-display"),
                                                QStringLiteral("-geometry"),
                                                QStringLiteral("-qwindowgeometry"),
                                                QStringLiteral("-qwindowicon"),
                                                QStringLiteral("-qwindowtitle"),
                                                QStringLiteral("-style"),
                                                QStringLiteral("-stylesheet"),
                                                QStringLiteral("-session"),
                                                QStringLiteral("-name"),
                                                QStringLiteral("-title")};
    static const QStringList qtFlags{QStringLiteral("-reverse"), QStringLiteral("-nograb"),
                                     QStringLiteral("-dograb"), QStringLiteral("-sync"),
                                     QStringLiteral("-widgetcount")};
    // Qt also takes a value after "=": -style=Fusion.
    const auto qtOptionWithValueInside = [](const QString& argument) {
        return argument.startsWith(QLatin1String("-style=")) ||
               argument.startsWith(QLatin1String("-stylesheet=")) ||
               argument.startsWith(QLatin1String("-qmljsdebugger="));
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (qtOptionsWithValue.contains(argument))
            ++i;
        else if (!qtFlags.contains(argument) && !qtOptionWithValueInside(argument))
            return true;
    }
    return false;
}

int runCommandLine(const QStringList& arguments, Console& console)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes event flyers: in its window, or here from the stored details or a "
                       "list."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const auto all = commands();
    for (const auto& command : all)
        parser.addOptions(command->options());
    parser.addOption(designOption());
    parser.addOption(paperOption());

    if (!parser.parse(arguments)) {
        console.err << QStringLiteral("lumarel: %1\nTry 'lumarel --help'.").arg(parser.errorText())
                    << Qt::endl;
        return kBadUsage;
    }
    const bool helpAll = parser.isSet(QStringLiteral("help-all"));
    if (parser.isSet(help) || helpAll) {
        // The usage line names the program as it is called from a shell.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(QLatin1Char('\n')),
                     QStringLiteral("Usage: lumarel [options]"));
        text += helpEpilogue();
        if (helpAll)
            text += helpAllEpilogue();
        console.out << wrapText(text) << Qt::flush;
        return kAllMade;
    }
    if (parser.isSet(version)) {
        console.out << kProductName << ' ' << kVersion << Qt::endl;
        return kAllMade;
    }
    try {
        if (!parser.positionalArguments().isEmpty())
            throw UsageError{QStringLiteral("%1: unexpected argument")
                                 .arg(parser.positionalArguments().first())};
        // A value given twice would silently lose one of them.
        for (const auto& command : all)
            for (const QCommandLineOption& option : command->options())
                if (!option.valueName().isEmpty() && option.names().constLast() != u"set" &&
                    parser.values(option.names().constLast()).size() > 1)
                    throw UsageError{QStringLiteral("--%1 is given more than once")
                                         .arg(option.names().constLast())};
        for (const QString& shared : {QStringLiteral("design"), QStringLiteral("paper")})
            if (parser.values(shared).size() > 1)
                throw UsageError{QStringLiteral("--%1 is given more than once").arg(shared)};
        Command* chosen = nullptr;
        for (const auto& command : all) {
            if (!parser.isSet(command->name()))
                continue;
            if (chosen)
                throw UsageError{QStringLiteral("--%1 and --%2 cannot be used together")
                                     .arg(chosen->name(), command->name())};
            chosen = command.get();
        }
        if (!chosen)
            throw UsageError{QStringLiteral("nothing to do: give --output or --batch")};
        for (const QString& shared : {QStringLiteral("design"), QStringLiteral("paper")})
            if (parser.isSet(shared) && !takesDesign(chosen->name()))
                throw UsageError{
                    QStringLiteral("--%1 cannot be used with --%2").arg(shared, chosen->name())};
        // An option of the other command is a mistake, not something to ignore.
        for (const auto& command : all) {
            if (command.get() == chosen)
                continue;
            for (const QCommandLineOption& option : command->options())
                if (parser.isSet(option.names().constLast()))
                    throw UsageError{QStringLiteral("--%1 cannot be used with --%2")
                                         .arg(option.names().constLast(), chosen->name())};
        }
        return chosen->execute(parser, console);
    } catch (const UsageError& error) {
        console.err << QStringLiteral("lumarel: %1\nTry 'lumarel --help'.").arg(error.message)
                    << Qt::endl;
        return kBadUsage;
    }
}

int commandLineMain(int argc, char** argv)
{
    int code = 0;
    {
        QCoreApplication app(argc, argv);
        nameApplication();
        stopCommandOnSignals();
        QTextStream out(stdout);
        QTextStream err(stderr);
        Console console{out, err, ::isatty(STDERR_FILENO) == 1};
        code = runCommandLine(QCoreApplication::arguments(), console);
    } // the application's end ends the offices
    // The office's connection libraries may still have threads of their own running; exit()
    // would destroy those libraries' statics under them.
    endProgram(code);
    return code;
}

} // namespace lumarel::cli
