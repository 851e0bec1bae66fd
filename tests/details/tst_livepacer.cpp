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
        QTest::addColumn<QString>("asks"); // + where the event asks for a page
        QTest::addColumn<State>("end");
        QTest::newRow("a pause with nothing changed asks nothing") << "p"
                                                                   << "." << State::Idle;
        QTest::newRow("changes before the pause ask once") << "cccp"
                                                           << "...+" << State::Making;
        QTest::newRow("a page made with nothing changed rests") << "cpm"
                                                                << ".+." << State::Idle;
        QTest::newRow("changes while making ask once more when it ends")
            << "cpccpcpm"
            << ".+.....+" << State::Making;
        QTest::newRow("a page made before the pause is over leaves the pause to ask")
            << "cpcmp"
            << ".+..+" << State::Making;
        QTest::newRow("a change after the pause ended restarts it") << "cpcpcmp"
                                                                    << ".+....+" << State::Making;
        QTest::newRow("turned off while waiting, the pause asks nothing") << "csp"
                                                                          << "..." << State::Idle;
        QTest::newRow("turned off while making, that page ends and no other comes")
            << "cpcpsm"
            << ".+...." << State::Idle;
    }

    void asksOncePerRestAndNeverWhileMaking()
    {
        QFETCH(QString, events);
        QFETCH(QString, asks);
        QFETCH(State, end);
        LivePacer pacer(std::chrono::milliseconds(0));
        QString asked;
        for (const QChar event : events) {
            bool ask = false;
            switch (event.toLatin1()) {
            case 'c':
                pacer.changed(LivePacer::Clock::now());
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
            }
            asked += ask ? '+' : '.';
        }
        QCOMPARE(asked, asks);
        QCOMPARE(int(pacer.state()), int(end));
    }

    void waitsForTheRestOnlyAmidChanges_data()
    {
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("waits"); // of each change: 0 none, r the pause
        QTest::newRow("a single change") << "c"
                                         << "0";
        QTest::newRow("one command's changes, in one turn") << "cccp"
                                                            << "000";
        QTest::newRow("keys a tenth of a second apart") << "cp.c.c.cp"
                                                        << "0rrr";
        QTest::newRow("a change after the pause has passed") << "cp.cp...cp.c"
                                                             << "0r0r";
        QTest::newRow("a change at rest while a page is made") << "cpcp...cm"
                                                               << "0r0";
    }

    void waitsForTheRestOnlyAmidChanges()
    {
        QFETCH(QString, events);
        QFETCH(QString, waits);
        constexpr std::chrono::milliseconds kPause{300};
        LivePacer pacer(kPause);
        LivePacer::Clock::time_point now;
        QString waited;
        for (const QChar event : events) {
            switch (event.toLatin1()) {
            case 'c':
                waited += pacer.changed(now) == kPause ? 'r' : '0';
                break;
            case 'p':
                pacer.paused();
                break;
            case 'm':
                pacer.made();
                break;
            case '.':
                now += std::chrono::milliseconds(100);
                break;
            }
        }
        QCOMPARE(waited, waits);
    }
};

LUMAREL_TEST_GUILESS_MAIN(LivePacerTest)
#include "tst_livepacer.moc"
