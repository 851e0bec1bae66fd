#include "TestEnvironment.h"

#include "DocumentReading.h"
#include "OfficeProcesses.h"
#include "TestFiles.h"
#include "app/Failure.h"
#include "office/DeadlineRunner.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "office/OfficeProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

using namespace lumarel;

namespace {

// A call given up says the time it was waited for: at least its limit, and more on a busy
// machine, so the figure is checked against the limit, not for one value.
bool waitedAtLeast(const QString& failure, const char* doing, int seconds)
{
    const QRegularExpressionMatch said =
        QRegularExpression(
            QStringLiteral("^The office did not answer within (\\d+) seconds while %1")
                .arg(QLatin1String(doing)))
            .match(failure);
    return said.hasMatch() && said.captured(1).toInt() >= seconds;
}

// A Letter page with two empty bookmarks in the main text and a text frame.
const char kDocument[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:automatic-styles>
  <style:page-layout style:name="letter">
   <style:page-layout-properties fo:page-width="8.5in" fo:page-height="11in"
    fo:margin-top="1in" fo:margin-bottom="1in" fo:margin-left="1.25in" fo:margin-right="1.25in"/>
  </style:page-layout>
  <style:style style:name="Big" style:family="paragraph">
   <style:text-properties fo:font-size="72pt" fo:color="#000000"/>
  </style:style>
 </office:automatic-styles>
 <office:master-styles>
  <style:master-page style:name="Standard" style:page-layout-name="letter"/>
 </office:master-styles>
 <office:body><office:text>
  <text:p text:style-name="Big">Title<text:bookmark text:name="Name"/></text:p>
  <text:p>Date:<text:bookmark text:name="When"/> end</text:p>
  <text:p><draw:frame draw:name="Box" text:anchor-type="paragraph" svg:x="0in" svg:y="0in"
    svg:width="2in" svg:height="1in"><draw:text-box><text:p>Inside box</text:p></draw:text-box>
   </draw:frame>After</text:p>
 </office:text></office:body>
</office:document>
)";

template <typename Operation> QString failureOf(Operation operation)
{
    try {
        operation();
    } catch (const Failure& failure) {
        return failure.description().isEmpty() ? QStringLiteral("(no description)")
                                               : failure.description();
    }
    return QString();
}

QList<qint64> pidsFrom(const QString& path)
{
    QList<qint64> pids;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        for (const QByteArray& word : file.readAll().simplified().split(' '))
            if (!word.isEmpty())
                pids << word.toLongLong();
    return pids;
}

// The value of the running office's command-line argument that starts with `prefix`.
QString officeArgument(qint64 office, const QByteArray& prefix)
{
    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(office));
    if (commandLine.open(QIODevice::ReadOnly))
        for (const QByteArray& argument : commandLine.readAll().split('\0'))
            if (argument.startsWith(prefix))
                return QString::fromUtf8(argument.mid(prefix.size()));
    return QString();
}

int darkPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++count;
    return count;
}

} // namespace

class OfficeEngineTest : public QObject
{
    Q_OBJECT

    QString m_document;

private slots:
    void initTestCase()
    {
        m_document = test::tempFolder() + "/source.fodt";
        QFile file(m_document);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kDocument);
    }

    void init()
    {
        OfficeEngine::setTimeLimitForTests(0);
        qunsetenv("LUMAREL_SOFFICE");
    }

    void cleanup()
    {
        OfficeEngine::setTimeLimitForTests(0);
        QCOMPARE(test::childProcesses(), QList<qint64>());
    }

    void fillSaveReopenAndRender()
    {
        const QString saved = test::tempFolder() + "/filled.doc";
        {
            OfficeEngine engine;
            const qint64 office = engine.processId();
            QVERIFY(office > 0);
            // The program's font aliases reach the office, on top of the system's fonts.
            QFile environment(QStringLiteral("/proc/%1/environ").arg(office));
            QVERIFY(environment.open(QIODevice::ReadOnly));
            QString fontConfig;
            for (const QByteArray& entry : environment.readAll().split('\0'))
                if (entry.startsWith("FONTCONFIG_FILE="))
                    fontConfig = QString::fromLocal8Bit(entry.mid(16));
            QFile config(fontConfig);
            QVERIFY(config.open(QIODevice::ReadOnly));
            QVERIFY(config.readAll().contains("/etc/fonts/fonts.conf"));
            // The system's fonts stay reachable through it.
            QProcess match;
            QProcessEnvironment matchEnvironment = QProcessEnvironment::systemEnvironment();
            matchEnvironment.insert("FONTCONFIG_FILE", fontConfig);
            match.setProcessEnvironment(matchEnvironment);
            match.start("fc-match", {"DejaVu Sans:style=Book"});
            QVERIFY(match.waitForFinished());
            QCOMPARE(match.readAllStandardOutput().left(13), QByteArray("DejaVuSans.tt"));
            QCOMPARE(failureOf([&] { test::paragraphs(engine); }),
                     QStringLiteral("No document is open in the office."));
            const QString missing = test::tempFolder() + "/missing.doc";
            QVERIFY(failureOf([&] { engine.open(missing); }).contains(missing));

            engine.open(m_document, true);
            QVERIFY(test::bookmarkNames(engine).contains("Name"));
            QVERIFY(test::bookmarkNames(engine).contains("When"));
            engine.setBookmarkText("Name", " Club");
            engine.setBookmarkText("When", "one\r\ntwo\nthree");
            test::addBookmarkInTextFrame(engine, 0, 6, "InBox");
            QVERIFY(test::bookmarkNames(engine).contains("InBox"));
            engine.setBookmarkText("InBox", " the");
            QCOMPARE(test::textBoxParagraphs(engine), QList<QStringList>{{"Inside the box"}});

            QVERIFY(
                failureOf([&] { engine.setBookmarkText("Missing", "x"); }).contains("\"Missing\""));
            QVERIFY(failureOf([&] {
                        test::addBookmarkInTextFrame(engine, 3, 0, "X");
                    }).contains("no text frame number 4"));
            QVERIFY(failureOf([&] {
                        test::addBookmarkInTextFrame(engine, 0, 500, "X");
                    }).contains("fewer than 500 characters"));
            QVERIFY(failureOf([&] {
                        test::addBookmarkInTextFrame(engine, 0, 1, "Name");
                    }).contains("already has a bookmark"));
            QVERIFY(failureOf([&] {
                        engine.saveAs(test::tempFolder() + "/no/such/x.doc");
                    }).contains("the folder does not exist"));

            engine.saveAs(saved);
            engine.closeWithoutSaving();
            QCOMPARE(failureOf([&] { engine.saveAs(saved); }),
                     QStringLiteral("No document is open in the office."));
            engine.quit();
            QVERIFY(test::processGone(office));
            QCOMPARE(failureOf([&] { engine.open(saved); }),
                     QStringLiteral("The office has already quit."));
        }
        QVERIFY(QFileInfo(saved).size() > 0);

        OfficeEngine engine;
        engine.open(saved, true);
        const QStringList paragraphs = test::paragraphs(engine);
        // CR LF starts a paragraph, a lone LF breaks the line.
        QCOMPARE(paragraphs.mid(0, 4),
                 QStringList({"Title Club", "Date:one", "two\nthree end", "After"}));
        QCOMPARE(test::textBoxParagraphs(engine).value(0).value(0),
                 QStringLiteral("Inside the box"));

        const QImage page = engine.renderFirstPage(10000);
        QCOMPARE(page.size(), QSize(2159, 2794)); // 8.5 x 11 inches at exactly 10000 dots per metre
        QCOMPARE(page.dotsPerMeterX(), 10000);
        QCOMPARE(page.dotsPerMeterY(), 10000);
        // The 72-point title stands below the 1-inch top margin, right of the 1.25-inch left one.
        QVERIFY(darkPixels(page, QRect(318, 254, 1200, 320)) > 2000);
        QCOMPARE(darkPixels(page, QRect(0, 0, 2159, 240)), 0);
        QCOMPARE(darkPixels(page, QRect(0, 2560, 2159, 234)), 0);
        QCOMPARE(engine.renderFirstPage(5000).size(), QSize(1080, 1397));

        engine.closeWithoutSaving();
        QCOMPARE(failureOf([&] { engine.renderFirstPage(10000); }),
                 QStringLiteral("No document is open in the office."));
    }

    void officeThatStopsAnsweringDuringALoadIsStopped()
    {
        OfficeEngine engine;
        const qint64 office = engine.processId();
        OfficeEngine::setTimeLimitForTests(3000);
        test::signalChild(office, SIGSTOP);
        // The caller's events keep flowing while the office hangs.
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(100);
        const QString failure = failureOf([&] { engine.open(m_document); });
        ticker.stop();
        QVERIFY(ticks > 0);
        QVERIFY2(waitedAtLeast(failure, "opening", 3), qPrintable(failure));
        QVERIFY(failure.contains(m_document));
        QVERIFY(test::processGone(office));
        QVERIFY(failureOf([&] { engine.open(m_document); }).contains("no longer running"));
    }

    // An office at work is waited for past the limit, and the time waited is the time told.
    void aBusyCallIsWaitedForPastItsLimit()
    {
        const auto answer = std::make_shared<QSemaphore>();
        int asked = 0;
        qint64 waited = 0;
        QVERIFY(!runWithDeadline(
            300, [answer] { answer->acquire(); }, [answer] { answer->release(); },
            [&] { return ++asked <= 3; }, &waited));
        // At work when asked at 300, 600 and 900 ms, then idle for the limit.
        QVERIFY2(waited >= 3 * 300, qPrintable(QString::number(waited)));
    }

    void officeKilledDuringAStoreFailsAndTheNextInstanceWorks()
    {
        {
            OfficeEngine engine;
            const qint64 office = engine.processId();
            engine.open(m_document);
            kill(pid_t(office), SIGKILL);
            QVERIFY(QFileInfo::exists(test::tempFolder() + "/.~lock.source.fodt#"));
            const QString target = test::tempFolder() + "/killed.doc";
            const QString failure = failureOf([&] { engine.saveAs(target); });
            QVERIFY2(failure.startsWith("The office ended unexpectedly while saving the document"),
                     qPrintable(failure));
            QVERIFY(failure.contains(target));
            QVERIFY(test::processGone(office));
        }
        // The killed office's lock is stale and does not keep the document from opening.
        OfficeEngine next;
        next.open(m_document);
        QCOMPARE(test::paragraphs(next).value(0), QStringLiteral("Title"));
    }

    void pooledOfficeThatStoppedAnsweringIsReplacedAtTheNextTake()
    {
        OfficePool pool;
        OfficeEngine& first = pool.take();
        const qint64 office = first.processId();
        pool.giveBack(first, false);
        test::signalChild(office, SIGSTOP);
        OfficeEngine& next = pool.take();
        QVERIFY(next.processId() != office);
        QVERIFY(test::processGone(office));
        next.open(m_document);
        QCOMPARE(test::paragraphs(next).value(0), QStringLiteral("Title"));
        pool.giveBack(next, false);
    }

    void poolGivesEachUseAnOfficeOfItsOwnAndKeepsThemForTheNextUses()
    {
        OfficePool pool;
        pool.keep(2);
        OfficeEngine& one = pool.take();
        OfficeEngine& other = pool.take();
        QVERIFY(&one != &other);
        QVERIFY(one.processId() != other.processId());
        one.open(m_document);
        const QList<qint64> offices{one.processId(), other.processId()};
        pool.giveBack(one, false);
        pool.giveBack(other, true); // failed: ended, and another started in its place
        QTRY_VERIFY(test::processGone(offices[1]));
        OfficeEngine& again = pool.take();
        OfficeEngine& replaced = pool.take();
        QCOMPARE(again.processId(), offices[0]);
        QCOMPARE(failureOf([&] { test::paragraphs(again); }),
                 QStringLiteral("No document is open in the office."));
        QVERIFY(!offices.contains(replaced.processId()));
        pool.end();
        QVERIFY(test::processGone(offices[0]));
    }

    void officeThatOutgrewItsFirstUseIsReplacedAsItIsGivenBack()
    {
        OfficePool pool;
        pool.replaceWhenGrown(1); // any growth at all
        QList<qint64> offices;
        for (int use = 0; use < 3; ++use) {
            OfficeEngine& office = pool.take();
            offices << office.processId();
            office.open(m_document);
            pool.giveBack(office, false);
        }
        // The first use sets the measure; a document more grows any office.
        QCOMPARE(offices[1], offices[0]);
        QVERIFY(offices[2] != offices[0]);
        pool.end(); // waits for the replaced office's end too
        QVERIFY(test::processGone(offices[0]));
    }

    void programKilledTakesItsOfficeAlong()
    {
        QProcess holder;
        holder.start(LUMAREL_ENGINE_HOLDER, QStringList());
        QVERIFY(holder.waitForStarted());
        QVERIFY2(holder.waitForReadyRead(120000), holder.readAllStandardError().constData());
        const qint64 office = holder.readLine().trimmed().toLongLong();
        QVERIFY(office > 0);
        QVERIFY(!test::processGone(office));
        const QString pipe = officeArgument(office, "--accept=pipe,name=").section(';', 0, 0);
        const QString profile =
            QUrl(officeArgument(office, "-env:UserInstallation=")).toLocalFile();
        const QString pipeFile = QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(getuid()).arg(pipe);
        const QString privateFolder = QFileInfo(profile).absolutePath();
        QVERIFY(QFileInfo::exists(pipeFile));
        QVERIFY(QFileInfo::exists(privateFolder));

        kill(pid_t(holder.processId()), SIGKILL);
        QVERIFY(holder.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(test::processGone(office), 20000);

        // What the killed program could not remove, the next instance does.
        QVERIFY(QFileInfo::exists(privateFolder));
        OfficeEngine next;
        QVERIFY(!QFileInfo::exists(privateFolder));
        QVERIFY(!QFileInfo::exists(pipeFile));
    }

    // A killed instance's folder is cleaned up only when it is the user's own and closed to
    // others, and only pipe names of the program's own form are removed: a planted record's
    // name leads through a folder in /tmp to a socket of the user's elsewhere.
    void abandonedFoldersAreCleanedUpOnlyWhenTheUsersOwn_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ofAnother");
        QTest::newRow("another user's folder open to all is left whole") << 0777 << true;
        QTest::newRow("an own folder open to all is left whole") << 0777 << false;
        QTest::newRow("an own private folder goes, a pipe name with a path is not followed")
            << 0700 << false;
    }

    void abandonedFoldersAreCleanedUpOnlyWhenTheUsersOwn()
    {
        QFETCH(int, mode);
        QFETCH(bool, ofAnother);
        if (ofAnother && geteuid() != 0)
            QSKIP("Only root can make a folder of another user here.");
        const QString socketPath = test::rootFolder() + "/private/bus";
        QVERIFY(QDir().mkpath(test::rootFolder() + "/private"));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socketPath), sizeof address.sun_path);
        const int socketFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const QString passage = officePipeSockets("passage-" + QString::number(getpid()))[0];
        const QString planted = instanceFoldersRoot() + "/" + kInstanceFolderPrefix + "planted";
        const auto cleanUp = qScopeGuard([&] {
            close(socketFd);
            QFile::remove(socketPath);
            QDir(passage).removeRecursively();
            QDir(planted).removeRecursively();
        });
        QVERIFY(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        QVERIFY(QDir().mkpath(passage) && QDir().mkpath(planted));
        if (const pid_t owner = fork(); owner == 0) {
            QLockFile lock(planted + "/owner.lock");
            lock.lock();
            _exit(0);
        } else {
            waitpid(owner, nullptr, 0);
        }
        const QString name = QFileInfo(passage).fileName().section('_', 3) + "/../.." + socketPath;
        test::writeFile(planted + "/pipes", (name + " file:///x\n").toUtf8());
        QVERIFY(chmod(QFile::encodeName(planted), mode) == 0);
        QVERIFY(!ofAnother || chown(QFile::encodeName(planted), 65534, 65534) == 0);

        removeAbandonedInstanceFolders();
        QVERIFY(QFileInfo(socketPath).exists());
        QCOMPARE(QFileInfo::exists(planted + "/pipes"), mode != 0700);
    }

    void baseProfileReplacesOlderOnesAndSpareCopiesTheSelfTests()
    {
        const QString program = officeExecutable();
        const QString base = baseProfileFolder(program);
        QDir(base).removeRecursively();
        // An older base of this program, from before bases recorded theirs, and another's base.
        const QString older = QFileInfo(base).absolutePath() + "/office-profile-0123456789ab";
        const QString others = QFileInfo(base).absolutePath() + "/office-profile-ba9876543210";
        QVERIFY(QDir().mkpath(older + "/user") && QDir().mkpath(others + "/user"));
        QVERIFY(recordBaseProfileProgram(others, "/opt/other-office/soffice.bin"));
        {
            OfficeEngine first;
        }
        QVERIFY(!QFileInfo::exists(older));
        QVERIFY(QFileInfo::exists(others + "/user"));
        // The office writes this log only when it runs its graphics self-tests: the base is
        // made without them, and so are its copies.
        QVERIFY(QFileInfo::exists(base + "/user/registrymodifications.xcu"));
        QVERIFY(!QFileInfo::exists(base + "/user/GraphicsRenderTests.log"));
        OfficeEngine engine;
        const QString profile =
            QUrl(officeArgument(engine.processId(), "-env:UserInstallation=")).toLocalFile();
        QVERIFY(QFileInfo::exists(profile + "/user/registrymodifications.xcu"));
        QVERIFY(!QFileInfo::exists(profile + "/user/GraphicsRenderTests.log"));
    }

    void profileCopyKeepsFoldersContentsAndPermissionsAndFollowsLinksOnlyToFiles()
    {
        const QString from = test::tempFolder() + "/copy-from";
        const QString to = test::tempFolder() + "/copy-to";
        QVERIFY(QDir().mkpath(from + "/user/empty") && QDir().mkpath(from + "/user/pack"));
        QFile script(from + "/user/pack/run.sh");
        QVERIFY(script.open(QIODevice::WriteOnly) && script.write(QByteArray(100000, 'x')));
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::link(from + "/user/pack/run.sh", from + "/file-link"));
        QVERIFY(QFile::link(from + "/user", from + "/folder-link"));

        QVERIFY(copyFolder(from, to));
        QFile copy(to + "/user/pack/run.sh");
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QByteArray(100000, 'x'));
        QCOMPARE(copy.permissions() & 0x7000,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QFileInfo(to + "/user/empty").isDir());
        QVERIFY(QFileInfo(to + "/file-link").isFile() && !QFileInfo(to + "/file-link").isSymLink());
        QVERIFY(!QFileInfo::exists(to + "/folder-link"));
        QVERIFY(!copyFolder(from, to)); // never over files that exist
    }

    // The office keeps the program's umask, since a shared folder it makes must stay open to
    // other users; the folders the program makes for it keep its profile private.
    void officeTakesTheProgramsUmaskAndItsProfileStaysPrivate()
    {
        const mode_t saved = umask(027);
        const auto restore = qScopeGuard([saved] { umask(saved); });
        OfficeEngine engine;
        QFile status(QStringLiteral("/proc/%1/status").arg(engine.processId()));
        QVERIFY(status.open(QIODevice::ReadOnly));
        QVERIFY(status.readAll().contains("\nUmask:\t0027\n"));
        const QString profile =
            QUrl(officeArgument(engine.processId(), "-env:UserInstallation=")).toLocalFile();
        for (const QString& folder :
             {QFileInfo(profile).absolutePath(), baseProfileFolder(officeExecutable())}) {
            struct stat info;
            QVERIFY(stat(QFile::encodeName(folder), &info) == 0);
            QCOMPARE(info.st_mode & 0777, 0700u);
        }
    }

    void runningOfficeOnTheDefaultProfileIsLeftAlone()
    {
        // The user's own office: default profile (under the test's configuration folder).
        const QString pipe =
            QStringLiteral("lumarel-decoy-%1").arg(QCoreApplication::applicationPid());
        const QString pipeFile = QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(getuid()).arg(pipe);
        const QStringList arguments{"--headless", "--norestore", "--nologo", "--nodefault",
                                    QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe)};
        QProcess decoy;
        for (int attempt = 0; attempt < 2 && !QFileInfo::exists(pipeFile); ++attempt) {
            decoy.start(officeExecutable(), arguments);
            QVERIFY(decoy.waitForStarted());
            // A fresh default profile costs one start that ends with exit code 81.
            QTRY_VERIFY_WITH_TIMEOUT(
                QFileInfo::exists(pipeFile) || decoy.state() == QProcess::NotRunning, 60000);
        }
        QVERIFY(QFileInfo::exists(pipeFile));
        const auto stopDecoy = qScopeGuard([&] {
            decoy.kill();
            decoy.waitForFinished();
            removeOfficePipes(pipe, QUrl::fromLocalFile(test::configFolder() + "/libreoffice/4")
                                        .toString(QUrl::FullyEncoded));
        });

        {
            OfficeEngine engine;
            QVERIFY(engine.processId() != decoy.processId());
            engine.open(m_document);
            QCOMPARE(test::paragraphs(engine).value(0), QStringLiteral("Title"));
            engine.quit();
        }

        QCOMPARE(decoy.state(), QProcess::Running);
        QVERIFY(!test::processGone(decoy.processId()));
        QVERIFY(QFileInfo::exists(pipeFile));
    }

    void standInOfficeFailsClearlyAndLeavesNoProcess_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("an office that never answers is stopped at the deadline")
            << "hang.sh"
            << "The office did not answer within";
        QTest::newRow("an office that exits at once is a failure")
            << "exit1.sh"
            << "ended with exit code 1 before the program could connect";
    }

    void standInOfficeFailsClearlyAndLeavesNoProcess()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        const QString pids = test::tempFolder() + "/" + script + ".pids";
        qputenv("LUMAREL_SOFFICE", QFile::encodeName(LUMAREL_STANDIN_DIR "/" + script));
        qputenv("LUMAREL_STANDIN_PIDS", QFile::encodeName(pids));
        OfficeEngine::setTimeLimitForTests(2000);
        // Ended by the deadline, as the failure says, not by the test's time-out.
        const QString failure = failureOf([] { OfficeEngine engine; });
        QVERIFY2(failure.contains(expected), qPrintable(failure));
        QVERIFY2(script != "hang.sh" || waitedAtLeast(failure, "starting", 2), qPrintable(failure));
        const QList<qint64> started = pidsFrom(pids);
        QVERIFY(!started.isEmpty());
        for (qint64 pid : started)
            QTRY_VERIFY_WITH_TIMEOUT(test::processGone(pid), 5000);
    }

    void officeThatMakesItsProfileAndExitsWith81IsStartedAgain()
    {
        // The real office behind a script that records its exit codes.
        const QString pids = test::tempFolder() + "/first-start.pids";
        qputenv("LUMAREL_SOFFICE", LUMAREL_STANDIN_DIR "/first-start.sh");
        qputenv("LUMAREL_STANDIN_PIDS", QFile::encodeName(pids));
        {
            OfficeEngine engine;
            engine.open(m_document);
            QCOMPARE(test::paragraphs(engine).value(0), QStringLiteral("Title"));
        }
        QFile exits(pids + ".exits");
        QVERIFY(exits.open(QIODevice::ReadOnly));
        QCOMPARE(exits.readAll().trimmed(), QByteArray("81"));
        QVERIFY(pidsFrom(pids).size() >= 2);
        for (qint64 pid : pidsFrom(pids))
            QVERIFY(test::processGone(pid));
    }
};

LUMAREL_TEST_GUILESS_MAIN(OfficeEngineTest)
#include "tst_officeengine.moc"
