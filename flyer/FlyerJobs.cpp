#include "flyer/FlyerJobs.h"

#include "app/StepTrap.h"
#include "flyer/TemplateAhead.h"
#include "office/OfficePool.h"
#include "runfiles/DocumentClaim.h"
#include "runfiles/DocumentName.h"
#include "runfiles/TempFolder.h"

#include <QFile>

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

quint64 FlyerJobs::queue(std::function<std::function<void()>()> work)
{
    const std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(work));
    m_wanted.notify_all();
    return ++m_lastJob;
}

quint64 FlyerJobs::make(const FlyerFields& fields, const FlyerDesign& design,
                        const QString& documentPath)
{
    const quint64 job = m_lastJob + 1;
    return queue([this, job, fields, design, documentPath]() -> std::function<void()> {
        WindowFlyer flyer = FlyerService(m_offices).makeForWindow(fields, design, documentPath);
        return [this, job, flyer = std::move(flyer)] { emit made(job, flyer); };
    });
}

quint64 FlyerJobs::makePage(const FlyerFields& fields, const FlyerDesign& design)
{
    const quint64 job = m_lastJob + 1;
    return queue([this, job, fields, design]() -> std::function<void()> {
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
}

quint64 FlyerJobs::save(const QString& document, const QString& target, SaveFormat format)
{
    const quint64 job = m_lastJob + 1;
    return queue([this, job, document, target, format]() -> std::function<void()> {
        QString failure;
        try {
            FlyerService(m_offices).saveDocument(document, target, format);
        } catch (...) {
            failure = describeCurrentException();
        }
        return [this, job, failure] { emit saved(job, failure); };
    });
}

void FlyerJobs::openAhead(const FlyerDesign& design)
{
    m_offices.prepareWith(
        openedAheadKey(design, ImportRepair::Whole),
        [design](OfficeEngine& office) { return openDesignAhead(office, design); });
}

bool FlyerJobs::busy() const
{
    const std::lock_guard lock(m_mutex);
    return m_running || !m_queue.empty();
}

void FlyerJobs::runJobs()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wanted.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            return;
        const auto work = std::move(m_queue.front());
        m_queue.pop_front();
        m_running = true;
        lock.unlock();
        const std::function<void()> report = work();
        lock.lock();
        m_running = false;
        // Sent from the owner's thread; a job whose owner is going says nothing.
        if (!m_stop)
            QMetaObject::invokeMethod(this, report, Qt::QueuedConnection);
    }
}

} // namespace lumarel
