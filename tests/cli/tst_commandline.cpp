// The command line run in-process with real files and the real office; one run of the program
// itself, without a display, beside a window run.
#include "TestEnvironment.h"

#include "MainWindow.h"
#include "OfficeProcesses.h"
#include "SavedDocument.h"
#include "TestFiles.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/SettingsStore.h"
#include "app/StopSignals.h"
#include "cli/BatchCommand.h"
#include "cli/CommandLine.h"
#include "cli/FlyerDetails.h"
#include "details/Form1.h"
#include "office/OfficeCallWatch.h"
#include "office/OfficeEngine.h"
#include "preview/Form2.h"
#include "runfiles/RunLock.h"

#include <QDateTimeEdit>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QThread>
#include <poppler-qt6.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumarel;

namespace {

struct Outcome
{
    int status;
    QString out;
    QString err;
};

Outcome run(const QStringList& arguments)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    cli::Console console{outStream, errStream, false};
    const int status = cli::runCommandLine(QStringList{"lumarel"} + arguments, console);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

// Every paragraph of the document, the main text's after their style's name, then the text
// boxes'.
QStringList documentTexts(const QString& path)
{
    const test::SavedDocument document = test::readSavedDocument(path);
    QStringList texts;
    for (qsizetype i = 0; i < document.paragraphs.size(); ++i)
        texts << document.styles.value(i) + ": " + document.paragraphs[i];
    return texts + document.textBox;
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_form = test::loadedMainWindow();
        m_form->PushButton3_Click();
        QCOMPARE(Dialogs::takeShown().size(), 0);
        m_out = test::rootFolder() + "/out";
    }

    void cleanup() { test::cleanUpAfterTest(*m_form); }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("office");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        const QString list = test::writeFile(test::rootFolder() + "/bad.csv",
                                             "dtpEventDate,name\n2027-02-30,a\nsoon,b\n");
        const QByteArray noOffice("/nonexistent/soffice");
        QTest::newRow("version") << QStringList{"--version"} << QByteArray() << 0
                                 << "Lumarel 7.00\n";
        QTest::newRow("help names the keys")
            << QStringList{"-h"} << QByteArray() << 0 << "txtOrgName, txtEventName";
        QTest::newRow("unknown option")
            << QStringList{"--colour"} << QByteArray() << 2 << "Unknown option 'colour'";
        QTest::newRow("nothing to do")
            << QStringList{"--overwrite"} << QByteArray() << 2 << "nothing to do";
        QTest::newRow("unknown output type") << QStringList{"-o", "x.txt"} << QByteArray() << 2
                                             << "--output x.txt: the file name must end in";
        QTest::newRow("unknown key") << QStringList{"-o", "x.pdf", "--set", "colour=red"}
                                     << QByteArray() << 2 << "--set colour=red: the key";
        QTest::newRow("time that is not stored form")
            << QStringList{"-o", "x.pdf", "--set", "dtpTime=3pm"} << QByteArray() << 2
            << "--set dtpTime: \"3pm\" is not a date";
        QTest::newRow("a date before the year 1, which the flyer cannot write")
            << QStringList{"-o", "x.pdf", "--set", "dtpEventDate=-0001-01-01"} << noOffice << 2
            << "--set dtpEventDate: \"-0001-01-01\" is outside the years a flyer can show";
        QTest::newRow("an empty time, which is no time")
            << QStringList{"-o", "x.pdf", "--set", "dtpTime="} << noOffice << 2
            << "--set dtpTime: an empty value is not a date";
        QTest::newRow("two commands") << QStringList{"-o", "x.pdf", "--batch", list} << QByteArray()
                                      << 2 << "--output and --batch cannot";
        QTest::newRow("list option with one flyer")
            << QStringList{"-o", "x.pdf", "--format", "doc"} << QByteArray() << 2
            << "--format cannot be used with --output";
        QTest::newRow("list without folder")
            << QStringList{"--batch", list} << QByteArray() << 2 << "--batch needs --output-dir";
        QTest::newRow("missing list")
            << QStringList{"--batch", "/nonexistent/l.csv", "-d", m_out} << QByteArray() << 2
            << "--batch /nonexistent/l.csv: it does not exist";
        QTest::newRow("unknown format") << QStringList{"--batch", list, "-d", m_out, "-f", "rtf"}
                                        << QByteArray() << 2 << "--format rtf";
        QTest::newRow("every row bad, no office needed")
            << QStringList{"--batch", list, "-d", m_out} << QByteArray("/nonexistent/soffice") << 4
            << "line 3: dtpEventDate: \"soon\" is not a date";
        // A list that cannot be read is bad usage: no row was tried, no office needed.
        const auto listOf = [&](const char* name, const QByteArray& bytes) {
            return QStringList{"--batch", test::writeFile(test::rootFolder() + "/" + name, bytes),
                               "-d", m_out};
        };
        QTest::newRow("unknown column") << listOf("col.csv", "colour\nred\n") << noOffice << 2
                                        << "line 1: unknown column \"colour\"";
        QTest::newRow("a column named twice") << listOf("twice.csv", "txtOrgName,txtOrgName\na,b\n")
                                              << noOffice << 2 << "named twice";
        QTest::newRow("an empty list")
            << listOf("empty.csv", "") << noOffice << 2 << "the list is empty";
        QTest::newRow("a binary file as list")
            << listOf("picture.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)) << noOffice
            << 2 << "not a text file";
        const QString longText(kMaxFlyerText + 1, 'x');
        QTest::newRow("a text longer than a flyer shows")
            << QStringList{"-o", "x.pdf", "--set", "txtMore=" + longText} << noOffice << 2
            << "--set txtMore: the text is ";
        QTest::newRow("a list's text longer than a flyer shows skips its row")
            << listOf("long.csv", "txtItems\n" + longText.toUtf8() + "\n") << noOffice << 4
            << "line 2: txtItems: the text is ";
        // Opened as they were, these would wait for a writer for good.
        const QString pipe = test::rootFolder() + "/pipe.docx";
        QFile::remove(pipe);
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QTest::newRow("a named pipe as the design to check")
            << QStringList{"--check-design", pipe} << noOffice << 2 << "it is a named pipe";
        QTest::newRow("a named pipe as the design")
            << QStringList{"-o", "x.pdf", "--design", pipe} << noOffice << 2
            << "--design " + pipe + ": Cannot read \"" + pipe + "\": it is a named pipe";
        QTest::newRow("a named pipe as the list")
            << QStringList{"--batch", pipe, "-d", m_out} << noOffice << 2
            << "--batch " + pipe + ": it is a named pipe";
        QTest::newRow("a repeated --output") << QStringList{"-o", "x.pdf", "--output", "y.pdf"}
                                             << noOffice << 2 << "--output is given more than once";
        QTest::newRow("a repeated --format")
            << QStringList{"--batch", list, "-d", m_out, "-f", "doc", "-f", "pdf"} << noOffice << 2
            << "--format is given more than once";
        QTest::newRow("an argument that is not an option")
            << QStringList{"list.csv"} << noOffice << 2 << "list.csv: unexpected argument";
        QTest::newRow("no office for one flyer")
            << QStringList{"-o", m_out + "/x.pdf"} << QByteArray("/nonexistent/soffice") << 3
            << "Error 842001. LibreOffice Writer could not be started, and the flyers are "
               "made with it.\n\n1. Please";
    }

    void exitStatuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, office);
        QFETCH(int, status);
        QFETCH(QString, said);
        if (!office.isEmpty())
            qputenv("LUMAREL_SOFFICE", office);
        const auto restore = qScopeGuard([] { qunsetenv("LUMAREL_SOFFICE"); });
        const Outcome outcome = run(arguments);
        QVERIFY2((outcome.out + outcome.err).contains(said), qPrintable(outcome.out + outcome.err));
        QCOMPARE(outcome.status, status);
        QVERIFY(!QFile::exists(m_out + "/x.pdf"));
    }

    void aCacheFolderThatCannotBeWrittenIsNamedWithoutInstallAdvice()
    {
        // Root writes past permissions: the folder is marked unchangeable for it instead.
        const QString cache = test::rootFolder() + "/read-only-cache";
        QVERIFY(QDir().mkpath(cache));
        const bool root = geteuid() == 0;
        if (root ? QProcess::execute("chattr", {"+i", cache}) != 0
                 : !QFile::setPermissions(cache, QFile::ReadOwner | QFile::ExeOwner))
            QSKIP("the file system here cannot make a folder unwritable");
        const QByteArray cacheHome = qgetenv("XDG_CACHE_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_CACHE_HOME", cacheHome);
            if (root)
                QProcess::execute("chattr", {"-i", cache});
            QFile::setPermissions(cache, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
        const Outcome outcome = run({"-o", m_out + "/x.pdf"});
        QVERIFY2(outcome.err.startsWith("The cache folder \"" + cache +
                                        "/lumarel\" cannot be written") &&
                     !outcome.err.contains("Error 842001"),
                 qPrintable(outcome.err));
        QCOMPARE(outcome.status, 3);
    }

    // The kinds of unreadable stores are the settings test's.
    void anUnreadableStoreMakesNoFlyerOfPlaceholders()
    {
        const QString path = SettingsStore::filePath();
        QVERIFY(QFile::rename(path, path + ".kept"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        qputenv("LUMAREL_SOFFICE", "/nonexistent/soffice");
        const auto restore = qScopeGuard([&] {
            QFile::remove(path);
            QFile::rename(path + ".kept", path);
            qunsetenv("LUMAREL_SOFFICE");
        });
        const Outcome outcome = run({"-o", m_out + "/placeholders.pdf"});
        QVERIFY2(outcome.status == 1 && outcome.err.contains("it is a named pipe (FIFO), not a "
                                                             "file. No flyer is made"),
                 qPrintable(outcome.err));
        // Every detail given, the store is not needed: the office is what is missing.
        QStringList all{"-o", m_out + "/placeholders.pdf"};
        for (const QString& key : cli::fieldKeys())
            all << "--set" << key + (key.startsWith("dtp") ? "=2027-01-15" : "=x");
        QCOMPARE(run(all).status, 3);
    }

    // A restarting handler would go back into the blocked write for good; the list's stop
    // shows the stop that waits for the flyers being made.
    void aStopSignalEndsABlockedCommandAtOnce()
    {
        const QString list =
            test::writeFile(test::rootFolder() + "/bad-rows.csv",
                            "dtpEventDate\n" + QByteArray(5000 * 5, '\n').replace("\n", "soon\n"));
        const QByteArray pipe = QFile::encodeName(test::rootFolder() + "/unread.pipe");
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        const int unread = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        const auto close = qScopeGuard([&] {
            ::close(unread);
            ::unlink(pipe.constData());
        });
        QProcess program; // no office: every row is bad
        program.setStandardErrorFile(QFile::decodeName(pipe));
        program.start(LUMAREL_PROGRAM, {"--batch", list, "-d", m_out});
        // Its messages fill the pipe, and it waits in write().
        int held = 0;
        QTRY_VERIFY_WITH_TIMEOUT(::ioctl(unread, FIONREAD, &held) == 0 &&
                                     held > ::fcntl(unread, F_GETPIPE_SZ) - 4096,
                                 60000);
        ::kill(program.processId(), SIGTERM);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
    }

    void helpFitsATerminalAndHelpAllSaysMore()
    {
        const Outcome help = run({"--help"});
        const Outcome all = run({"--help-all"});
        for (const QString& line : (help.out + all.out).split('\n'))
            QVERIFY2(line.size() < 80, qPrintable(line));
        QVERIFY(all.out.startsWith(help.out));
        for (const char* more : {"Examples:", "Exit status: 0", "XDG_CACHE_HOME", "-platform"})
            QVERIFY2(all.out.contains(more) && !help.out.contains(more), more);
    }

    void onlyQtsOwnOptionsOpenTheWindow()
    {
        const std::pair<QStringList, bool> cases[] = {
            {{}, false},
            {{"-platform", "offscreen", "-style", "Fusion"}, false},
            {{"-reverse", "-style=Fusion"}, false},
            {{"list.csv"}, true},
            {{"-"}, true},
            {{"-x"}, true},
            {{"-platform", "offscreen", "-x"}, true},
            {{"-platform", "offscreen", "list.csv"}, true},
            {{"-o", "x.pdf"}, true},
        };
        for (const auto& [arguments, commandLine] : cases)
            QVERIFY2(cli::wantsCommandLine(QStringList{"lumarel"} + arguments) == commandLine,
                     qPrintable(arguments.join(' ')));
    }

    void windowAndListMakeTheSameFlyer()
    {
        QVERIFY(test::press(*m_form));
        QCOMPARE(Dialogs::takeShown().size(), 0);
        const QStringList windowTexts = documentTexts(m_form->preview().mWordFile);
        m_form->preview().PushButton8_Click();
        const QList<qint64> windowOffice = test::childProcesses(); // kept ready for the window

        // The second flyer is the first one's document with its texts replaced.
        const QString list =
            test::writeFile(test::rootFolder() + "/list.csv",
                            "name,txtOrgName,txtEventName,txtItems\n"
                            "other,Other Org,\"Big\r\nDay\",\"Chairs\nand tables\"\n"
                            "same,Quenwick,\"9th Annual\r\nTaco Eating "
                            "Contest\",Throw-up bag\n");
        const Outcome outcome = run({"--batch", list, "--output-dir", m_out, "--format", "doc"});
        QCOMPARE(outcome.status, 0);
        // Named by the line it starts on, after the quoted line breaks of the row before.
        QVERIFY2(outcome.err.contains("[2/2] line 5: " + m_out + "/same.doc"),
                 qPrintable(outcome.err));
        QCOMPARE(documentTexts(m_out + "/same.doc"), windowTexts);
        const QString other = documentTexts(m_out + "/other.doc").join('|');
        QVERIFY2(other.contains(" Other Org") && other.contains("Heading 2: Big|Heading 2: Day") &&
                     other.contains("Chairs|Text body: and tables") &&
                     !other.contains("Quenwick") && !other.contains("Throw-up"),
                 qPrintable(other));

        // Run again, a kept file is not remade; nothing else is left in the folder.
        const QDateTime made = QFileInfo(m_out + "/same.doc").lastModified();
        QCOMPARE(run({"--batch", list, "-d", m_out, "-f", "doc"}).status, 0);
        QCOMPARE(QFileInfo(m_out + "/same.doc").lastModified(), made);
        QCOMPARE(QDir(m_out).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"other.doc", "same.doc"}));
        QCOMPARE(test::tempFiles(), QStringList());
        QTRY_COMPARE(test::childProcesses(), windowOffice);
    }

    void oneFlyerAsPdfWithoutDisplayBesideAWindowRun()
    {
        // The program itself, with no display at all, started together with a window run.
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        program.setProcessEnvironment(environment);
        const QString pdf = m_out + "/one.pdf";
        m_form->findChild<QLineEdit*>("txtLocation")->setText("12 Harbour Road");
        program.start(LUMAREL_PROGRAM, {"--output", pdf, "--set", "txtOrgName=Child Org", "--set",
                                        "txtEventName=Spring Fair\\nDay one"});
        QVERIFY(program.waitForStarted());
        QVERIFY(test::press(*m_form));
        QCOMPARE(Dialogs::takeShown().size(), 0);
        // The window's run lets events flow, so the program may have been seen to end already.
        QVERIFY(program.state() == QProcess::NotRunning || program.waitForFinished(300000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY2(program.exitCode() == 0, program.readAllStandardError().right(6000).constData());

        const QString window = documentTexts(m_form->preview().mWordFile).join('|');
        QVERIFY2(window.contains(" 12 Harbour Road") && window.contains(" Quenwick") &&
                     !window.contains("Child"),
                 qPrintable(window));
        m_form->preview().PushButton8_Click();
        QCOMPARE(test::tempFiles(), QStringList());

        const auto document = Poppler::Document::load(pdf);
        QVERIFY(document && document->numPages() == 1);
        const QString text = document->page(0)->text(QRectF());
        QVERIFY2(text.contains("CHILD ORG", Qt::CaseInsensitive) &&
                     text.contains(QRegularExpression("Spring Fair\\s+Day one")) &&
                     text.contains("12 Harbour Road") &&
                     !text.contains("Quenwick", Qt::CaseInsensitive),
                 qPrintable(text));
        // The command line reads the store and never writes it.
        QCOMPARE(SettingsStore::get("txtOrgName"), QString("Quenwick"));
    }

    void longListIsSharedByAnOfficePerCore()
    {
        QByteArray rows("name,txtOrgName\n");
        for (int i = 1; i <= 25; ++i)
            rows += QStringLiteral("%1,Org %1\n").arg(i).toUtf8();
        const QString list = test::writeFile(test::rootFolder() + "/long.csv", rows);
        const qsizetype before = test::childProcesses().size();
        // Counted as each office call starts, on the calling thread: the office started last is
        // called as it starts, when the others run already.
        std::atomic<qsizetype> most{0};
        watchOfficeCallsForTests([&](const QString&) {
            const qsizetype now = test::childProcesses().size() - before;
            qsizetype seen = most;
            while (now > seen && !most.compare_exchange_weak(seen, now))
                continue;
        });
        const auto unwatch = qScopeGuard([] { watchOfficeCallsForTests(nullptr); });
        const Outcome outcome = run({"--batch", list, "-d", m_out + "/long"});
        QCOMPARE(outcome.status, 0);
        QCOMPARE(most.load(), qsizetype(qMin(2, QThread::idealThreadCount())));
        // Each flyer has its own row's texts, whichever office made it.
        for (int i = 1; i <= 25; ++i) {
            const auto document =
                Poppler::Document::load(m_out + QStringLiteral("/long/%1.pdf").arg(i));
            QVERIFY(document && document->numPages() == 1);
            const QString text = document->page(0)->text(QRectF());
            QRegularExpressionMatchIterator names =
                QRegularExpression("ORG (\\d+)").globalMatch(text);
            QVERIFY2(names.hasNext() && names.next().captured(1) == QString::number(i) &&
                         !names.hasNext(),
                     qPrintable(text));
        }
        QTRY_COMPARE(test::childProcesses().size(), before);
    }

    // A real stop signal while the list's office starts: the office held still until the signal
    // is in, so that no flyer can be made first, however fast the machine. (Ctrl+C amid a flyer
    // finishes it: the test below.)
    void aStopBeforeTheFirstFlyerMakesNoneAndLeavesNothing_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl+C") << int(SIGINT);
        QTest::newRow("SIGHUP, as a closed terminal sends it") << int(SIGHUP);
    }

    void aStopBeforeTheFirstFlyerMakesNoneAndLeavesNothing()
    {
        QFETCH(int, signal);
        const QString list = test::writeFile(test::rootFolder() + "/three.csv",
                                             "txtOrgName\nFirst\nSecond\nThird\nFourth\nFifth\n");
        const QString folder = test::rootFolder() + "/stopped-" + QTest::currentDataTag();
        const QString officeTemp = test::rootFolder() + "/office-tmp";
        QDir().mkpath(officeTemp);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", officeTemp);
        program.setProcessEnvironment(environment);
        program.start(LUMAREL_PROGRAM, {"--batch", list, "-d", folder, "-f", "odt"});
        QVERIFY(program.waitForStarted());
        QList<qint64> office;
        QTRY_VERIFY_WITH_TIMEOUT(!(office = test::childProcesses(program.processId())).isEmpty(),
                                 240000);
        ::kill(pid_t(office[0]), SIGSTOP);
        ::kill(program.processId(), signal);
        ::kill(pid_t(office[0]), SIGCONT);
        QVERIFY(program.waitForFinished(120000));
        const QByteArray said = program.readAllStandardError();
        QVERIFY2(program.exitCode() == 1 && said.contains("line 2: stopped; this row and the rest"),
                 said.constData());

        // No flyer, no part of one, and no office left behind.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(test::processGone(office[0]));
        QCOMPARE(QDir(officeTemp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(test::tempFiles(), QStringList());
        QCOMPARE(QDir(test::tempFolder()).entryList({"export-*"}, QDir::Dirs), QStringList());
    }

    void ctrlCDuringOneFlyerFinishesItButExitsOne()
    {
        requestStop(true);
        const auto resume = qScopeGuard([] { requestStop(false); });
        const QString pdf = m_out + "/stopped.pdf";
        QDir().mkpath(m_out);
        const Outcome outcome = run({"--output", pdf});
        QCOMPARE(outcome.status, 1);
        QVERIFY2(outcome.err.contains("stopped; " + pdf + " was made"), qPrintable(outcome.err));
        QVERIFY(QFile::exists(pdf));
    }

    void aListRemovesThePartFilesOfKilledRunsOnly()
    {
        const pid_t dead = fork();
        if (dead == 0)
            _exit(0);
        waitpid(dead, nullptr, 0);
        const QString folder = test::rootFolder() + "/parts";
        const QString deadPart = QStringLiteral(".a.pdf.lumarel-part-%1-Ab3xYz").arg(dead);
        const QString livePart = QStringLiteral(".b.pdf.lumarel-part-%1-Ab3xYz").arg(getpid());
        for (const QString& name : {deadPart, livePart, QStringLiteral(".c.pdf.Ab3xYz")})
            test::writeFile(folder + "/" + name, "part");
        // Export folders locked by their owner: one gone, another user's, a running one.
        const QString temp = test::tempFolder();
        for (const char* name : {"/export-dead", "/export-others", "/export-live"})
            QVERIFY(QDir().mkpath(temp + name));
        const pid_t locker = fork();
        if (locker == 0) {
            QLockFile gone(temp + "/export-dead/owner.lock"),
                others(temp + "/export-others/owner.lock");
            _exit(gone.tryLock(0) && others.tryLock(0) ? 0 : 1);
        }
        int locked = -1;
        QVERIFY(waitpid(locker, &locked, 0) == locker && locked == 0);
        QLockFile liveLock(temp + "/export-live/owner.lock");
        QVERIFY(liveLock.tryLock(0));
        const bool twoUsers = ::getuid() == 0;
        if (twoUsers)
            QCOMPARE(::chown(QFile::encodeName(temp + "/export-others").constData(), 65534, 0), 0);
        const auto removeExports = qScopeGuard([&] {
            liveLock.unlock();
            for (const char* name : {"/export-live", "/export-others"})
                QDir(temp + name).removeRecursively();
        });
        const QString list =
            test::writeFile(test::rootFolder() + "/badrow.csv", "dtpEventDate\nsoon\n");
        qputenv("LUMAREL_SOFFICE", "/nonexistent/soffice");
        const auto restore = qScopeGuard([] { qunsetenv("LUMAREL_SOFFICE"); });
        QCOMPARE(run({"--batch", list, "-d", folder}).status, 4);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{livePart, ".c.pdf.Ab3xYz"}));
        QCOMPARE(QDir(temp).entryList({"export-*"}, QDir::Dirs),
                 QStringList{"export-live"} + QStringList(twoUsers, "export-others"));
        if (!twoUsers)
            QSKIP("another user's folder needs root to be made");
    }

    void runLockWaitsForItsOwnerButNotForADeadOne()
    {
        {
            RunLock held;
            try {
                RunLock(300);
                QFAIL("a held lock was taken twice");
            } catch (const Failure& failure) {
                QVERIFY(failure.description().contains("Another flyer run has been using"));
            }
        }
        // The lock of a program that was killed names a process that is gone.
        const pid_t dead = fork();
        if (dead == 0) {
            QLockFile lock(RunLock::path());
            lock.lock();
            _exit(0);
        }
        waitpid(dead, nullptr, 0);
        QVERIFY(QFile::exists(RunLock::path()));
        RunLock taken(0);
    }

private:
    std::unique_ptr<Form1> m_form;
    QString m_out;
};

LUMAREL_TEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
