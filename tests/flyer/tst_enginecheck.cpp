#include "TestEnvironment.h"

#include "OfficeProcesses.h"
#include "app/Dialogs.h"
#include "app/ProgramEnd.h"
#include "details/Form1.h"
#include "details/WordCheck.h"
#include "flyer/EngineCheck.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"

#include <QProcess>
#include <QScopeGuard>

#include <csignal>

using namespace lumarel;

class EngineCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        programOffices().end();
        Dialogs::takeShown();
        test::resetProgramEnds();
        qunsetenv("LUMAREL_SOFFICE");
    }

    void missingOfficeShowsTheAdviceAndEndsBeforeTheWindowShows_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("the named office program does not exist")
            << QByteArray("LUMAREL_SOFFICE") << QByteArray("/nonexistent/soffice")
            << QStringLiteral("\"/nonexistent/soffice\" (named by LUMAREL_SOFFICE) does not exist");
        QTest::newRow("no office on the search path")
            << QByteArray("PATH") << QByteArray("/nonexistent")
            << QStringLiteral("soffice was not found on the search path");
    }

    void missingOfficeShowsTheAdviceAndEndsBeforeTheWindowShows()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QByteArray, value);
        QFETCH(QString, reason);
        const QByteArray before = qgetenv(variable);
        const auto restore = qScopeGuard([&] { qputenv(variable, before); });
        qputenv(variable, value);
        Form1 form;
        form.Form_Load(Form1::EngineCheck::Run);

        const QList<ShownMessage> shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text,
                 QStringLiteral(
                     "Error 842001. LibreOffice Writer could not be started, and the flyers "
                     "are made with it.\r\n\r\n"
                     "1. Please make sure LibreOffice Writer is installed on this computer: on "
                     "Debian, install the package libreoffice-writer (for example with \"sudo "
                     "apt install libreoffice-writer\").\r\n\r\n"
                     "2. Please open LibreOffice Writer normally and make sure a blank document "
                     "opens immediately without any interrupting window (such as a document "
                     "recovery window).\r\n\r\n"
                     "3. Please make sure that when you double-click on a DOC or DOCX file that "
                     "LibreOffice Writer opens normally without any interrupting messages.\r\n\r\n"
                     "4. The smaller package libreoffice-writer-nogui is enough for this "
                     "software; start it again once Writer is installed."));
        QVERIFY(!Dialogs::appTitle().isEmpty());
        QCOMPARE(shown[0].title, Dialogs::appTitle());
        QCOMPARE(shown[0].icon, MessageIcon::None);
        QCOMPARE(shown[0].buttons, MessageButtons::Ok);
        QVERIFY2(shown[0].details.contains(reason), qPrintable(shown[0].details));
        QCOMPARE(test::programEnds(), 1);
        QVERIFY(!form.isVisible());
    }

    void theVerdictAloneShowsNothingAndEndsNothing()
    {
        qputenv("LUMAREL_SOFFICE", "/nonexistent/soffice");
        QVERIFY(!engineAvailable());
        QCOMPARE(Dialogs::takeShown().size(), 0);
        QCOMPARE(test::programEnds(), 0);
    }

    void anOfficeThatFailsToStartCountsAsMissing()
    {
        qputenv("LUMAREL_SOFFICE", LUMAREL_STANDIN_DIR "/exit1.sh");
        qputenv("LUMAREL_STANDIN_PIDS", QFile::encodeName(test::tempFolder() + "/exit1.pids"));
        QVERIFY(!CheckWordInstalled());
        QCOMPARE(Dialogs::takeShown().size(), 1);
        QCOMPARE(test::programEnds(), 1);
    }

    void availableOfficePassesQuietlyAndStaysReadyUntilTheProgramEnds()
    {
        programOffices().keep(1);
        QVERIFY(CheckWordInstalled());
        QCOMPARE(Dialogs::takeShown().size(), 0);
        QCOMPARE(test::programEnds(), 0);
        // The checked office is the one the first flyer gets, and the only one.
        OfficeEngine& taken = programOffices().take();
        const qint64 office = taken.processId();
        programOffices().giveBack(taken, false);
        QCOMPARE(test::childProcesses(), QList<qint64>{office});
        endProgram();
        QCOMPARE(test::childProcesses(), QList<qint64>());
    }

    void killedProgramTakesItsReadyOfficeAlong()
    {
        QProcess program;
        program.start(LUMAREL_PROGRAM, QStringList());
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(test::childProcesses(program.processId()).size() == 1, 60000);
        const qint64 office = test::childProcesses(program.processId())[0];
        kill(pid_t(program.processId()), SIGKILL);
        QVERIFY(program.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(test::processGone(office), 20000);
    }
};

LUMAREL_TEST_MAIN(EngineCheckTest)
#include "tst_enginecheck.moc"
