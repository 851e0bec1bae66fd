// The window program ends as a close of its window does, however it is told to end: its
// office and the office's folder go with it.
#include "TestEnvironment.h"

#include "OfficeProcesses.h"

#include <QDir>
#include <QProcess>

#include <csignal>

class ProgramExitTest : public QObject
{
    Q_OBJECT

private slots:
    void endsAsAClose_data()
    {
        QTest::addColumn<int>("signal"); // none: the display server goes away
        QTest::addColumn<int>("exitCode");
        // Once the window is shown, the start-up check has connected the office.
        QTest::addColumn<bool>("windowShown");
        // Pressed: the end comes while the office opens the template for a flyer.
        QTest::addColumn<bool>("pressed");
        QTest::newRow("SIGTERM, as a logout sends it") << int(SIGTERM) << 0 << false << false;
        QTest::newRow("SIGHUP, as a closed terminal sends it")
            << int(SIGHUP) << 0 << false << false;
        QTest::newRow("SIGINT, Ctrl+C in its terminal") << int(SIGINT) << 0 << false << false;
        QTest::newRow("the display server ends") << 0 << 1 << false << false;
        QTest::newRow("the display server ends, the office connected") << 0 << 1 << true << false;
        QTest::newRow("the display server ends amid a flyer") << 0 << 1 << true << true;
        QTest::newRow("SIGTERM amid a flyer") << int(SIGTERM) << 0 << true << true;
    }

    void endsAsAClose()
    {
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        QFETCH(bool, windowShown);
        QFETCH(bool, pressed);
        QProcess display;
        display.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp"});
        QVERIFY(display.waitForReadyRead(30000));
        const QString temp = lumarel::test::tempFolder() + "/" + QTest::currentDataTag();
        QDir().mkpath(temp);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", ":" + display.readAllStandardOutput().trimmed());
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("TEMP", temp);
        // As on a desktop, which has a session bus: without one, libdbus forks a process to
        // launch one, and that child can hang in the address sanitizer's allocator, whose lock
        // another thread held at the fork.
        environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + temp + "/no-session-bus");
        // Pressed, it stops itself as the office is to put the flyer's texts in.
        if (pressed)
            environment.insert("LUMAREL_TEST_STOP_AT_OFFICE_CALL",
                               "setting the text of the bookmark");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(LUMAREL_PROGRAM, {});
        const QString own = lumarel::test::programTempFolder(temp);
        const auto offices = [&] { return QDir(own).entryList({"lumarel-office-*"}, QDir::Dirs); };
        // The office is being started once its pipe is recorded.
        QTRY_VERIFY_WITH_TIMEOUT(
            !offices().isEmpty() && QFile::exists(own + "/" + offices()[0] + "/pipes"), 60000);
        if (windowShown) {
            QProcess search;
            search.setProcessEnvironment(environment);
            search.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^Lumarel$"});
            QVERIFY(search.waitForFinished(60000) && search.exitCode() == 0);
            if (pressed) {
                // The middle of "Start Creating Template": left 120, top 120, 9000 x 405 twips.
                const QString window =
                    QString::fromLatin1(search.readAllStandardOutput()).trimmed();
                QProcess click;
                click.setProcessEnvironment(environment);
                click.start("xdotool",
                            {"mousemove", "--window", window, "308", "21", "click", "1"});
                QVERIFY(click.waitForFinished(30000) && click.exitCode() == 0);
                QTRY_VERIFY_WITH_TIMEOUT(lumarel::test::processState(program.processId()) == 'T',
                                         60000);
            }
        }
        if (signal) {
            ::kill(program.processId(), signal);
        } else {
            display.kill();
            display.waitForFinished();
        }
        ::kill(program.processId(), SIGCONT);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(program.exitCode() == exitCode, errors.constData());
        // What the program printed tells why its office's folder stayed.
        QVERIFY2(offices().isEmpty(), errors.right(900).constData());
        QCOMPARE(QDir(own).entryList({"qtemar*.doc"}), QStringList());
        QCOMPARE(QDir(own + "/.lumarel-claims").entryList(QDir::Files), QStringList());
        display.kill();
        display.waitForFinished();
    }
};

LUMAREL_TEST_GUILESS_MAIN(ProgramExitTest)
#include "tst_programexit.moc"
