// Holds an office instance until it is killed: prints the office's process id, then waits.
#include "app/Failure.h"
#include "office/OfficeEngine.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        lumarel::OfficeEngine engine;
        std::printf("%lld\n", static_cast<long long>(engine.processId()));
        std::fflush(stdout);
        pause();
    } catch (const lumarel::Failure& failure) {
        std::fprintf(stderr, "%s\n", qPrintable(failure.description()));
        return 1;
    }
    return 0;
}
