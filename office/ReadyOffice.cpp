#include "office/ReadyOffice.h"

#include "app/Failure.h"
#include "office/OfficeEngine.h"
#include "office/OfficeLoan.h"
#include "office/OfficePool.h"

#include <QCoreApplication>
#include <QTimer>

#include <utility>

namespace lumarel {

namespace {

// All used from the user-interface thread only.
// The office the window took last and has not given back.
OfficeEngine* taken = nullptr;
// Whether a user (not the preparation) holds `taken`.
bool inUse = false;
bool preparing = false;
// The office that holds the prepared work, unused; null when none does.
const OfficeEngine* prepared = nullptr;
std::function<bool(OfficeEngine&)> preparation;

void release(bool failed)
{
    prepared = nullptr;
    if (taken)
        programOffices().giveBack(*std::exchange(taken, nullptr), failed);
}

OfficeEngine& takeOffice()
{
    // The steps of one use take the office more than once: they share it.
    if (taken && taken->answers())
        return *taken;
    release(true);
    taken = &programOffices().take();
    return *taken;
}

void prepare()
{
    // A use in progress, or one that started in a wait of the preparation, comes first.
    if (!preparation || inUse || preparing || prepared)
        return;
    preparing = true;
    bool done = false;
    try {
        OfficeEngine& office = takeOffice();
        done = preparation(office) && !inUse && taken == &office;
    } catch (const Failure&) {
    } catch (const std::exception&) {
    }
    if (done)
        prepared = taken;
    else if (!inUse)
        release(false);
    preparing = false;
}

void prepareSoon()
{
    if (preparation && QCoreApplication::instance())
        QTimer::singleShot(0, qApp, &prepare);
}

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
    inUse = true;
    OfficeEngine& office = takeOffice();
    if (prepared != &office)
        prepared = nullptr;
    return office;
}

bool ReadyOffice::takePrepared(const OfficeEngine& office)
{
    if (prepared != &office || &office != taken)
        return false;
    prepared = nullptr;
    return true;
}

void ReadyOffice::giveBack(bool failed)
{
    // The office closes its documents in a wait that lets events in: still in use till then.
    release(failed);
    inUse = false;
    prepareSoon();
}

OfficeLoan& ReadyOffice::loan()
{
    class Ready : public OfficeLoan
    {
        OfficeEngine& take() override { return ReadyOffice::take(); }
        void giveBack(OfficeEngine*, bool failed) override { ReadyOffice::giveBack(failed); }
        bool takePrepared(const OfficeEngine& office) override
        {
            return ReadyOffice::takePrepared(office);
        }
    };
    static Ready ready;
    return ready;
}

void ReadyOffice::prepareWith(std::function<bool(OfficeEngine&)> work)
{
    preparation = std::move(work);
    prepareSoon();
}

void ReadyOffice::end()
{
    taken = nullptr;
    prepared = nullptr;
    inUse = false;
    programOffices().end();
}

void ReadyOffice::endAfterLibraryExit()
{
    taken = nullptr;
    prepared = nullptr;
    inUse = false;
    programOffices().endAfterLibraryExit();
}

} // namespace lumarel
