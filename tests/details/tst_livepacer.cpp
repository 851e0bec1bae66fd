// The live page's pacing, event by event: c a change, p the wait over, m the page made, s off,
// . a tenth of a second passing.
#include "TestEnvironment.h"

#include "details/LivePacer.h"

using namespace lumarel;
using State = LivePacer::State;

class LivePacerTest : public QObject
{
    Q_OBJECT

private slots:
    void asksOncePerRestAndNeverWhileMaking_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("asks");  // + where the event asks for a page
        QTest::addColumn<QString>("waits"); // of each change: 0 none, r the pause
        QTest::addColumn<State>("end");
        const auto row = [](const char* name, const char* events, const char* asks,
                            const char* waits, State end) {
            QTest::newRow(name) << QString(events) << QString(asks) << QString(waits) << end;
        };
        row("a pause with nothing changed asks nothing", "p", ".", "", State::Idle);
        row("one command's changes ask once, at once", "cccp", "...+", "000", State::Making);
        row("a page made with nothing changed rests", "cpm", ".+.", "0", State::Idle);
        row("changes while making ask once more when it ends", "cpccpcpm", ".+.....+", "0rrr",
            State::Making);
        row("a page made before the pause is over leaves the pause to ask", "cpcmp", ".+..+", "0r",
            State::Making);
        row("a change after the pause ended restarts it", "cpcpcmp", ".+....+", "0rr",
            State::Making);
        row("turned off while waiting, the pause asks nothing", "csp", "...", "0", State::Idle);
        row("turned off while making, that page ends and no other comes", "cpcpsm", ".+....", "0r",
            State::Idle);
        row("keys a tenth of a second apart wait for the pause", "cpm.c.c.cp", ".+.......+", "0rrr",
            State::Making);
        row("a change once the pause has passed asks at once", "cpm...cp.c", ".+.....+..", "00r",
            State::MakingChanged);
    }

    void asksOncePerRestAndNeverWhileMaking()
    {
        QFETCH(QString, events);
        QFETCH(QString, asks);
        QFETCH(QString, waits);
        QFETCH(State, end);
        constexpr std::chrono::milliseconds kPause{300};
        LivePacer pacer(kPause);
        LivePacer::Clock::time_point now;
        QString asked, waited;
        for (const QChar event : events) {
            bool ask = false;
            switch (event.toLatin1()) {
            case 'c':
                waited += pacer.changed(now) == kPause ? 'r' : '0';
                break;
            case 'p':
                ask = pacer.paused();
                break;
            case 'm':
                ask = pacer.made();
                break;
            case 's':
                pacer.stop();
                break;
            case '.':
                now += std::chrono::milliseconds(100);
                break;
            }
            asked += ask ? '+' : '.';
        }
        QCOMPARE(asked, asks);
        QCOMPARE(waited, waits);
        QCOMPARE(int(pacer.state()), int(end));
    }
};

LUMAREL_TEST_GUILESS_MAIN(LivePacerTest)
#include "tst_livepacer.moc"
