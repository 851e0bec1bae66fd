// The live page: from the last change to its page shown, step by step, against the office's own
// conversion of the template; a keystroke with the live page on and off; the resident memory of
// the program and of its office over 500 pages in a row.
#include "Benchmarks.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/ProcessMemory.h"
#include "details/Form1.h"
#include "details/LiveFlyer.h"
#include "flyer/FlyerJobs.h"
#include "flyer/RecordFields.h"
#include "office/OfficeCallWatch.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "office/OfficeProcess.h"
#include "preview/LivePage.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>

namespace lumarel::bench {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The moments of one page: the office's are the first call of each of its steps, announced on
// the jobs' thread (the office's preparation of the next flyer never puts a text in).
struct PageMoments
{
    Clock::time_point changed, asked, filling, saving, rendering, closing, received, shown;
};

class PageClock
{
public:
    PageClock()
    {
        watchOfficeCallsForTests([this](const QString& doing) {
            const std::lock_guard lock(m_mutex);
            const auto mark = [&](const char* start, Clock::time_point& at) {
                if (doing.startsWith(QLatin1String(start)) && at == Clock::time_point())
                    at = Clock::now();
            };
            mark("setting the text of the bookmark", m_moments.filling);
            if (m_moments.filling != Clock::time_point()) {
                mark("saving the document as", m_moments.saving);
                mark("exporting", m_moments.rendering);
                mark("counting the pages", m_moments.closing);
            }
        });
    }
    ~PageClock() { watchOfficeCallsForTests(nullptr); }

    void start()
    {
        const std::lock_guard lock(m_mutex);
        m_moments = PageMoments();
        m_moments.changed = Clock::now();
    }
    PageMoments& moments() { return m_moments; } // on the window's thread, once the page is in

private:
    std::mutex m_mutex;
    PageMoments m_moments;
};

void requireQuiet(const LivePage& page)
{
    if (!page.lineText().startsWith(QLatin1String("Updated")))
        throw Failure(QStringLiteral("the live page said: %1").arg(page.lineText()));
    if (const QList<ShownMessage> shown = Dialogs::takeShown(); !shown.isEmpty())
        throw Failure(QStringLiteral("the live page led to a message: %1").arg(shown[0].text));
}

// The main window with its live page on, the first page shown; `watch` connects to the window
// before the live page does.
std::unique_ptr<Form1> windowWithLivePage(std::chrono::milliseconds pause,
                                          const std::function<void(Form1&)>& watch = {})
{
    auto form = std::make_unique<Form1>(nullptr, pause);
    form->Form_Load(Form1::EngineCheck::Skip);
    if (watch)
        watch(*form);
    form->PushButton3_Click();
    if (const QString failure = programOffices().waitUntilConnected(); !failure.isEmpty())
        throw Failure(failure);
    if (!form->live().isOn())
        form->live().action()->trigger();
    QSignalSpy shown(form->live().page(), &LivePage::shown);
    if (!shown.wait(600000))
        throw Failure(QStringLiteral("the first live page did not come"));
    requireQuiet(*form->live().page());
    return form;
}

// Changes the organisation's name and waits for the live page to show it.
void nextPage(Form1& form, int n)
{
    LivePage& page = *form.live().page();
    QSignalSpy shown(&page, &LivePage::shown);
    form.findChild<QLineEdit*>(QStringLiteral("txtOrgName"))
        ->setText(QStringLiteral("Quenwick %1").arg(n));
    if (!shown.wait(600000))
        throw Failure(QStringLiteral("live page %1 did not come").arg(n));
    requireQuiet(page);
}

void typeKey(QWidget* widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The fastest of the slowest tenth of `samples`.
double slowestTenth(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.isEmpty() ? 0 : samples[samples.size() * 9 / 10];
}

// The event loop for `ms`, as between two keys of a typist.
void between(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The program's offices, read from /proc without taking one from the pool, which would close
// the design it holds opened ahead: the largest resident memory among the program's child
// processes, in kB, and the process that has it.
std::pair<qint64, qint64> largestOffice()
{
    std::pair<qint64, qint64> largest{0, 0};
    for (const ProcessStatus& process : processTable())
        if (process.parent == QCoreApplication::applicationPid() && process.state != 'Z')
            largest = std::max(largest, std::pair{residentKb(process.pid), process.pid});
    return {largest.second, largest.first};
}

} // namespace

void liveBenchmarks()
{
    constexpr int kPages = 25;
    QTemporaryDir folder;
    useFolder(folder.path());
    Dialogs::setScripted(true);
    programOffices().replaceWhenGrown(kWindowOfficeGrowthLimitKb); // as the window program does
    const QString templatePath = folder.path() + QStringLiteral("/bench-template.dot");
    QFile(QStringLiteral(":/template.dot")).copy(templatePath);

    // From the last change to the page shown, with the live page's own pacing.
    QList<double> pause, wait, fill, save, render, close, paint, whole, own, typed, cli;
    {
        PageClock clock;
        const auto form = windowWithLivePage(LivePacer::kPause, [&](Form1& window) {
            // Before the live page's own handler, which scales and shows the page.
            QObject::connect(&window.jobs(), &FlyerJobs::made, &window,
                             [&] { clock.moments().received = Clock::now(); });
            QObject::connect(&window.live(), &LiveFlyer::asked, &window,
                             [&] { clock.moments().asked = Clock::now(); });
        });
        LivePage& page = *form->live().page();
        QObject::connect(&page, &LivePage::shown, &page, [&] {
            page.repaint();
            clock.moments().shown = Clock::now();
        });
        for (int n = 0; n < kPages; ++n) {
            // By turns with the office's own conversion, so that the load of the machine at
            // any moment weighs on both alike.
            if (n % 5 == 0)
                cli += commandLineConversion(templatePath, folder.path(), 1);
            clock.start();
            nextPage(*form, n);
            const PageMoments& at = clock.moments();
            pause << msBetween(at.changed, at.asked);
            wait << msBetween(at.asked, at.filling);
            fill << msBetween(at.filling, at.saving);
            save << msBetween(at.saving, at.rendering);
            render << msBetween(at.rendering, at.closing);
            close << msBetween(at.closing, at.received);
            paint << msBetween(at.received, at.shown);
            whole << msBetween(at.changed, at.shown);
            own << msBetween(at.asked, at.shown);
            // The office opens the design ahead again, as it does while the user reads the page.
            between(300);
        }
        // A word typed at a typist's pace: its first key shows at once, and the word's page
        // comes once the keys have paused.
        auto* name = form->findChild<QLineEdit*>(QStringLiteral("txtOrgName"));
        for (int n = 0; n < kPages; ++n) {
            for (int key = 1; key <= 6; ++key) {
                name->setText(QStringLiteral("Quenwick Club %1 ").arg(n) + QString(key, u'x'));
                if (key < 6)
                    between(150);
            }
            const Clock::time_point last = Clock::now();
            while (form->live().shownFields().orgName != name->text()) {
                QSignalSpy shown(&page, &LivePage::shown);
                if (!shown.wait(600000))
                    throw Failure(QStringLiteral("the typed name's page did not come"));
                requireQuiet(page);
            }
            typed << msBetween(last, Clock::now());
            between(300);
        }
    }
    report(QStringLiteral("live page: last change to page shown"), whole);
    report(QStringLiteral("    the pause after the last change"), pause);
    report(QStringLiteral("    queue and office wait (design opened ahead)"), wait);
    report(QStringLiteral("    office: fill six texts"), fill);
    report(QStringLiteral("    office: save the .doc"), save);
    report(QStringLiteral("    office: render the page (PDF export + raster)"), render);
    report(QStringLiteral("    office: close; the run's files; back to the window"), close);
    report(QStringLiteral("    scale and paint the page"), paint);
    report(QStringLiteral("live page: page asked to page shown (no pause)"), own);
    report(QStringLiteral("live page: last key of a word typed to its page shown"), typed);
    report(QStringLiteral("soffice --headless --convert-to pdf (template)"), cli);
    ratio("ratio last change to live page / convert-to", median(whole), median(cli), 0.5);
    ratio("ratio page asked to page shown / convert-to", median(own), median(cli));
    ratio("ratio last key typed to its page / convert-to", median(typed), median(cli));

    // Keys with the live page's own pacing: the first key of a burst asks for a page at once,
    // and the office is at work for the first few that follow it.
    auto form = windowWithLivePage(LivePacer::kPause);
    QWidget* box = form->findChild<QLineEdit*>(QStringLiteral("txtLocation"));
    box->setFocus();
    // The wall clock and the window thread's own processor time: on a machine shared with other
    // work, and with the office at work beside the window, the wall clock counts waits too.
    // Between the live page off and on, the office kept at work by pages asked here with the
    // live page off: what a keystroke loses to the machine's sharing, apart from the live page.
    enum Keys
    {
        Off,
        OfficeAtWork,
        On
    };
    QList<double> wall[3], processor[3];
    Keys keys = Off;
    quint64 asked = 0;
    const FlyerFields fields = flyerFields(form->record());
    QObject::connect(&form->jobs(), &FlyerJobs::made, form.get(), [&](quint64 job) {
        if (job == asked)
            asked = keys == OfficeAtWork ? form->jobs().makePage(fields, FlyerDesign()) : 0;
    });
    for (int round = 0; round < 20; ++round)
        for (const Keys each : {Off, OfficeAtWork, On}) {
            keys = each;
            if (form->live().isOn() != (keys == On))
                form->live().action()->trigger();
            if (keys == OfficeAtWork && asked == 0)
                asked = form->jobs().makePage(fields, FlyerDesign());
            // Off and on alike, the typing starts as after a look at the page: the office idle
            // and the details at rest. What the office does then is the live page's own.
            while (keys != OfficeAtWork && (form->live().busy() || asked != 0)) {
                QSignalSpy made(&form->jobs(), &FlyerJobs::made);
                if (!made.wait(600000))
                    throw Failure(QStringLiteral("the last page did not end"));
            }
            if (keys != OfficeAtWork)
                between(int(LivePacer::kPause.count()));
            for (int key = 0; key < 20; ++key) {
                timespec start, end;
                clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
                wall[keys] += timeRuns(1, [&] { typeKey(box); });
                clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
                processor[keys] << (end.tv_sec - start.tv_sec) * 1e3 +
                                       (end.tv_nsec - start.tv_nsec) / 1e6;
                between(40);
            }
        }
    report(QStringLiteral("keystroke to store, live page off, office idle"), wall[Off]);
    report(QStringLiteral("keystroke to store, live page off, office at work"), wall[OfficeAtWork]);
    report(QStringLiteral("keystroke to store, live page on"), wall[On]);
    report(QStringLiteral("    processor time, live page off, office idle"), processor[Off]);
    report(QStringLiteral("    processor time, live page off, office at work"),
           processor[OfficeAtWork]);
    report(QStringLiteral("    processor time, live page on"), processor[On]);
    ratio("ratio keystroke live page on / off", median(wall[On]), median(wall[Off]), 1.1);
    ratio("ratio keystroke live page on / off, the slowest tenth", slowestTenth(wall[On]),
          slowestTenth(wall[Off]));
    ratio("ratio keystroke processor time on / off", median(processor[On]), median(processor[Off]));
    ratio("ratio keystroke live page on / off, office at work in both", median(wall[On]),
          median(wall[OfficeAtWork]));

    // Pages one after another, without the pause: how the offices grow with the pages made.
    form.reset();
    form = windowWithLivePage(0ms);

    // The highest resident memory over the first 20 pages against the highest over the rest,
    // read every 5 pages: an office that outgrew its first use is replaced by one that starts
    // smaller, so a single reading may find either.
    qint64 programFirst = 0, programLater = 0, officeFirst = 0, officeLater = 0, offices = 0,
           lastOffice = 0;
    for (int n = 1; n <= 500; ++n) {
        nextPage(*form, n);
        if (n % 5 != 0)
            continue;
        const auto [office, officeResident] = largestOffice();
        const qint64 programResident = residentKb(QCoreApplication::applicationPid());
        // Between an office's end and its successor's start, there may be none.
        offices += office != 0 && office != lastOffice;
        lastOffice = office != 0 ? office : lastOffice;
        qint64& programHighest = n <= 20 ? programFirst : programLater;
        qint64& officeHighest = n <= 20 ? officeFirst : officeLater;
        programHighest = std::max(programHighest, programResident);
        officeHighest = std::max(officeHighest, officeResident);
        if (n % 100 == 0)
            std::printf("    after %3d pages: program %lld kB, office %lld (%lld kB)\n", n,
                        programResident, office, officeResident);
    }
    std::printf("%-56s %lld kB at most in the first 20, %lld kB after: %+.1f MB (goal: at most "
                "+20)\n",
                "live page, 500 pages: program resident", programFirst, programLater,
                (programLater - programFirst) / 1024.0);
    std::printf("%-56s %lld kB at most in the first 20, %lld kB after: %+.1f MB (goal: at most "
                "+20), %lld offices in turn\n",
                "live page, 500 pages: office resident", officeFirst, officeLater,
                (officeLater - officeFirst) / 1024.0, offices);
    std::fflush(stdout);
    // The window first: its end may still ask the offices for work, which must end with them,
    // before the benchmark's folder goes.
    form.reset();
    programOffices().end();
}

} // namespace lumarel::bench
