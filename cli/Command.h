#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QTextStream>

namespace lumarel {
class FlyerService;
} // namespace lumarel

namespace lumarel::cli {

// What the exit status tells a script.
enum ExitStatus
{
    kAllMade = 0,
    kOtherFailure = 1,
    kBadUsage = 2,
    kNoOffice = 3,
    kRowsFailed = 4,
};

// Where a command writes: results to `out`, messages and progress to `err`. `terminal` says
// that `err` is a terminal, where progress is drawn as a bar.
struct Console
{
    QTextStream& out;
    QTextStream& err;
    bool terminal = false;
};

// A bad command line; the message names the argument at fault.
struct UsageError
{
    QString message;
};

// One thing the command line can do, with its own options.
class Command
{
public:
    virtual ~Command() = default;

    // The option that asks for this command.
    virtual QString name() const = 0;
    virtual QList<QCommandLineOption> options() const = 0;
    // Throws UsageError for a bad combination or value.
    virtual int execute(const QCommandLineParser& parser, Console& console) = 0;
};

// Lines of the office's advice, for a terminal.
QString officeAdviceText();
// Starts the office of the flyers; when it cannot be started, tells why and what to do on the
// console and returns false, for the command to end with kNoOffice.
bool startOffice(FlyerService& flyers, Console& console);

} // namespace lumarel::cli
