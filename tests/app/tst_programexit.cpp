// The window program ends as a close of its window does, however it is told to end: its
// office and the office's folder go with it.
#include "TestEnvironment.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>

#include <csignal>

class ProgramExitTest : public QObject
{
    Q_OBJECT

private slots:
    void endsAsAClose_data()
    {
        QTest::addColumn<int>("signal"); // none: the display server goes away
        QTest::addColumn<int>("exitCode");
        QTest::newRow("SIGTERM, as a logout sends it") << int(SIGTERM) << 0;
        QTest::newRow("SIGHUP, as a closed terminal sends it") << int(SIGHUP) << 0;
        QTest::newRow("SIGINT, Ctrl+C in its terminal") << int(SIGINT) << 0;
        QTest::newRow("the display server ends") << 0 << 1;
    }

    void endsAsAClose()
    {
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        QProcess display;
        display.start("Xvfb",
                      {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        QVERIFY(display.waitForReadyRead(30000));
        const QByteArray number = display.readAllStandardOutput().trimmed();
        const auto endDisplay = qScopeGuard([&] {
            display.kill();
            display.waitForFinished();
        });

        const QString temp = lumarel::test::tempFolder() + "/" + QTest::currentDataTag();
        QDir().mkpath(temp);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", ":" + number);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("TEMP", temp);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(LUMAREL_PROGRAM, {});
        QVERIFY(program.waitForStarted());
        const auto officeFolders = [&] {
            return QDir(temp).entryList({"lumarel-office-*"}, QDir::Dirs);
        };
        // The office is being started once its pipe is recorded.
        QTRY_VERIFY_WITH_TIMEOUT(!officeFolders().isEmpty() &&
                                     QFile::exists(temp + "/" + officeFolders()[0] + "/pipes"),
                                 60000);

        if (signal)
            ::kill(program.processId(), signal);
        else
            display.kill();
        QVERIFY(program.waitForFinished(60000));
        const QByteArray said = program.readAllStandardError();
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == exitCode, said.constData());
        QCOMPARE(officeFolders(), QStringList());
    }
};

LUMAREL_TEST_GUILESS_MAIN(ProgramExitTest)
#include "tst_programexit.moc"
