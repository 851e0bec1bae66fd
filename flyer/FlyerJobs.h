#pragma once

#include "flyer/FlyerService.h"

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace lumarel {

class OfficePool;

// The window's office work, done on a thread of its own so that the window never waits for an
// office: one job at a time, in the order asked. Each job's result comes back by a signal, on
// the thread that made this object.
class FlyerJobs : public QObject
{
    Q_OBJECT

public:
    explicit FlyerJobs(OfficePool& offices, QObject* parent = nullptr);
    // Jobs not begun are dropped and their signals not sent; the job in progress ends first.
    ~FlyerJobs() override;

    // Queues the window's flyer (FlyerService::makeForWindow); made() carries the number
    // returned.
    quint64 make(const FlyerFields& fields, const FlyerDesign& design, const QString& documentPath);
    // Queues the same flyer for its page alone: its document goes under a claimed name of its
    // own in the program's temporary folder and is removed once the page is taken, so the
    // result names no document. made() carries the number returned.
    quint64 makePage(const FlyerFields& fields, const FlyerDesign& design);
    // Keeps `design` opened ahead in the idle office, ready for the next flyer. A design file is
    // opened afresh by each flyer.
    void openAhead(const FlyerDesign& design);

signals:
    void made(quint64 job, const lumarel::WindowFlyer& flyer);

private:
    void queue(std::function<std::function<void()>()> work);
    void runJobs();

    OfficePool& m_offices;
    std::mutex m_mutex;
    std::condition_variable m_wanted;
    // Each job runs on the worker and returns what the owner's thread does with its result.
    std::deque<std::function<std::function<void()>()>> m_queue;
    bool m_stop = false;
    quint64 m_lastJob = 0; // asked from the owner's thread only
    std::thread m_worker;
};

} // namespace lumarel
