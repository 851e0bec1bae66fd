#include "ProgramEnd.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace lumarel {

namespace {

std::function<void(int)>& endHandler()
{
    static std::function<void(int)> handler;
    return handler;
}

std::vector<std::function<void()>>& endActions()
{
    static std::vector<std::function<void()>> actions;
    return actions;
}

} // namespace

void addProgramEndAction(std::function<void()> action)
{
    endActions().push_back(std::move(action));
}

void endProgram(int exitCode)
{
    for (auto action = endActions().rbegin(); action != endActions().rend(); ++action)
        (*action)();
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
