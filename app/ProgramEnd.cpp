#include "ProgramEnd.h"

#include <cstdio>
#include <cstdlib>

namespace lumarel {

namespace {

std::function<void(int)>& endHandler()
{
    static std::function<void(int)> handler;
    return handler;
}

} // namespace

void endProgram(int exitCode)
{
    if (endHandler()) {
        endHandler()(exitCode);
        return;
    }
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void setProgramEndForTests(std::function<void(int)> handler)
{
    endHandler() = std::move(handler);
}

} // namespace lumarel
