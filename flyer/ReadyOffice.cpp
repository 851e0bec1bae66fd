#include "flyer/ReadyOffice.h"

#include "office/OfficeEngine.h"
#include "office/OfficePool.h"

#include <utility>

namespace lumarel {

namespace {

// The office the window took last and has not given back; used from the user-interface thread.
OfficeEngine* taken = nullptr;

} // namespace

void ReadyOffice::start()
{
    programOffices().keep(1);
}

QString ReadyOffice::waitUntilConnected()
{
    return programOffices().waitUntilConnected();
}

OfficeEngine& ReadyOffice::take()
{
    // The steps of one use take the office more than once: they share it.
    if (taken && taken->answers())
        return *taken;
    if (taken)
        programOffices().giveBack(*std::exchange(taken, nullptr), true);
    taken = &programOffices().take();
    return *taken;
}

void ReadyOffice::giveBack(bool failed)
{
    if (taken)
        programOffices().giveBack(*std::exchange(taken, nullptr), failed);
}

void ReadyOffice::end()
{
    taken = nullptr;
    programOffices().end();
}

void ReadyOffice::endAfterLibraryExit()
{
    taken = nullptr;
    programOffices().endAfterLibraryExit();
}

} // namespace lumarel
