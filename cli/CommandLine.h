#pragma once

#include "cli/Command.h"

#include <QStringList>

namespace lumarel::cli {

// True when the arguments ask for the command line rather than the window: any option of our
// own (a "--" option, or -h, -v, -o, -b, -d, -f). Qt's own window options (-platform, -style)
// leave the window in charge.
bool wantsCommandLine(const QStringList& arguments);

// Runs the command line in a running QCoreApplication; returns the exit status.
int runCommandLine(const QStringList& arguments, Console& console);

// The whole program when run from the command line: no window, no display needed.
int commandLineMain(int argc, char** argv);

} // namespace lumarel::cli
