#pragma once

#include "cli/Command.h"
#include "designs/Designs.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace lumarel::cli {

// --design NAME|FILE, which --output and --batch share.
QCommandLineOption designOption();
// Whether a command takes --design.
bool takesDesign(const QString& command);

// The design the flyers are made from: the one --design names, else the stored choice. Throws
// UsageError for a name or file that is not a design; a stored choice that is gone is told
// on the console and the default design used.
FlyerDesign designToUse(const QCommandLineParser& parser, Console& console);

} // namespace lumarel::cli
