// One window program per settings store: a second start hands over to the first and ends.
#include "TestEnvironment.h"

#include "app/SingleInstance.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>

using lumarel::SingleInstance;

class SingleInstanceTest : public QObject
{
    Q_OBJECT

private slots:
    void secondStartShowsTheFirstAndEnds()
    {
        SingleInstance first;
        QVERIFY(!first.passedToRunning());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        // The program itself, as a second start from the menu would run it.
        QProcess second;
        second.start(LUMAREL_PROGRAM, {});
        QVERIFY(second.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 1, 60000);
        // Often ended already while the request was being answered.
        QVERIFY(second.state() == QProcess::NotRunning || second.waitForFinished(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
    }

    void leftoversOfAKilledProgramAreTakenOver()
    {
        const QString store = lumarel::test::rootFolder() + "/killed/Quenwick.ini";
        // A holder killed leaves its socket, and its lock file, unlocked.
        const QString socket = SingleInstance(store).socketPath();
        for (const QString& left : {socket, socket + ".lock"}) {
            QFile file(left);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }

        SingleInstance first(store);
        QVERIFY(!first.passedToRunning());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        QVERIFY(SingleInstance(store).passedToRunning());
        QTRY_COMPARE(shown.size(), 1);
    }
};

LUMAREL_TEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
