#include "flyer/FlyerJobs.h"

#include "app/StepTrap.h"
#include "app/TempFolder.h"
#include "office/OfficePool.h"
#include "runfiles/DocumentClaim.h"
#include "runfiles/DocumentName.h"

#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

namespace lumarel {

FlyerJobs::FlyerJobs(OfficePool& offices, QObject* parent)
    : QObject(parent), m_offices(offices), m_worker([this] { runJobs(); })
{
}

FlyerJobs::~FlyerJobs()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_wanted.notify_all();
    m_worker.join();
}

void FlyerJobs::queue(std::function<std::function<void()>()> work)
{
    const std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(work));
    m_wanted.notify_all();
}

quint64 FlyerJobs::make(const FlyerFields& fields, const FlyerDesign& design,
                        const QString& documentPath)
{
    const quint64 job = ++m_lastJob;
    queue([this, job, fields, design, documentPath]() -> std::function<void()> {
        WindowFlyer flyer = FlyerService(m_offices).makeForWindow(fields, design, documentPath);
        return [this, job, flyer = std::move(flyer)] { emit made(job, flyer); };
    });
    return job;
}

quint64 FlyerJobs::makePage(const FlyerFields& fields, const FlyerDesign& design)
{
    const quint64 job = ++m_lastJob;
    queue([this, job, fields, design]() -> std::function<void()> {
        WindowFlyer flyer;
        try {
            const QString document = DocumentNamer().freePath(flyerTempFolder());
            // Claimed, so that no other start takes it for a leftover while the office works.
            const DocumentClaim claim(document);
            flyer = FlyerService(m_offices).makeForWindow(fields, design, document);
            QFile::remove(document);
        } catch (...) {
            flyer.failure = describeCurrentException();
        }
        flyer.document.clear();
        flyer.saved = false;
        return [this, job, flyer = std::move(flyer)] { emit made(job, flyer); };
    });
    return job;
}

void FlyerJobs::openAhead(const FlyerDesign& design)
{
    m_offices.prepareWith(
        openedAheadKey(design, ImportRepair::Whole),
        [design](OfficeEngine& office) { return openDesignAhead(office, design); });
}

void FlyerJobs::runJobs()
{
    // Below the window's thread: when every core is busy, a page gives way to the typing, not
    // the typing to a page.
    setpriority(PRIO_PROCESS, id_t(gettid()), 5);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wanted.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            return;
        const auto work = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        const std::function<void()> report = work();
        lock.lock();
        // Sent from the owner's thread; a job whose owner is going says nothing.
        if (!m_stop)
            QMetaObject::invokeMethod(this, report, Qt::QueuedConnection);
    }
}

} // namespace lumarel
