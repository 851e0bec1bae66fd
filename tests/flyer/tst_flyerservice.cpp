// The flyer service on a command's pool of real offices: flyers of the command line, and an
// office that cannot start or dies once lent, for the window and the command line alike.
#include "TestEnvironment.h"

#include "OfficeProcesses.h"
#include "TestFiles.h"
#include "app/Failure.h"
#include "flyer/FlyerJobs.h"
#include "flyer/FlyerService.h"
#include "office/OfficeCallWatch.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "office/OfficeProcess.h"
#include "runfiles/PartFiles.h"
#include "word97/WordBookmarks.h"
#include "word97/WordParagraphs.h"
#include "word97/WordShapes.h"
#include "wordimport/ReadyTemplate.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QThread>

#include <mutex>

using namespace lumarel;

namespace {

// The office a pool lends next; taken and given back.
qint64 nextOffice(OfficePool& pool)
{
    OfficeEngine& office = pool.take();
    const qint64 pid = office.processId();
    pool.giveBack(office, false);
    return pid;
}

FlyerFields fields(const QString& eventName)
{
    return {QDate(2027, 3, 5),
            QTime(18, 30),
            "Quenwick",
            eventName,
            "12 Harbour Road",
            "More",
            "",
            "",
            ""};
}

} // namespace

class FlyerServiceTest : public QObject
{
    Q_OBJECT

private slots:
    void readyTemplateMakesTheFlyerOfTheWordTemplateAndADamagedOneIsMadeAgain()
    {
        const QString ready = readyTemplatePath(officeExecutable());
        QFile::remove(ready);
        OfficePool pool;
        QStringList made;
        // The Word 97 template, repaired and kept; the kept copy; a damaged copy made again.
        for (const char* damage : {"", "", "<?xml version=\"1.0\"?>\n<office:document>"}) {
            if (*damage)
                test::writeFile(ready, damage);
            made << test::rootFolder() + QString("/made%1.doc").arg(made.size());
            FlyerService(pool).make(fields("Fair\r\nDay"), {SaveFormat::Word97}, made.last(), true);
            QVERIFY(QFileInfo(ready).size() > 10000);
        }
        const WordParagraphs word = readWordParagraphs(made[0]);
        for (const QString& path : made.mid(1)) {
            QCOMPARE(readWordBookmarks(path), readWordBookmarks(made[0]));
            QCOMPARE(wordFileStyles(readWordParagraphs(path)), wordFileStyles(word));
            QCOMPARE(readWordShapes(path), readWordShapes(made[0]));
        }
    }

    void commandLineFlyersShareOneOfficeAndItsTemplate()
    {
        OfficePool pool;
        QList<qint64> used;
        {
            FlyerService flyers(pool);
            flyers.start();
            for (const QString name : {"Spring Fair", "Autumn Market"}) {
                const QString path = test::rootFolder() + "/" + name + ".odt";
                QCOMPARE(flyers.make(fields(name), {SaveFormat::OpenDocument}, path, true).pages,
                         1);
                const QString text = test::archivePart(path, "content.xml");
                QVERIFY2(text.contains(name) && text.contains("12 Harbour Road"), qPrintable(text));
                // The second flyer's texts replaced the first's in the same open template.
                QVERIFY(!text.contains(name == "Spring Fair" ? "Autumn" : "Spring"));
                used << test::childProcesses();
            }
        }
        // One office for both, given back whole.
        QCOMPARE(used.size(), 2);
        QCOMPARE(used[0], used[1]);
        QCOMPARE(nextOffice(pool), used[0]);
        QCOMPARE(test::tempFiles(), QStringList());
    }

    void failingOfficeReachesTheCallerAndIsGivenBackFailed_data()
    {
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("strike");
        QTest::addColumn<int>("failedStage"); // the window's first failing stage
        QTest::newRow("no office, window") << true << false << int(FlyerStage::TakeOffice);
        QTest::newRow("no office, command line") << false << false << 0;
        QTest::newRow("killed once lent, window") << true << true << int(FlyerStage::OpenTemplate);
        QTest::newRow("killed once lent, command line") << false << true << 0;
    }

    void failingOfficeReachesTheCallerAndIsGivenBackFailed()
    {
        QFETCH(bool, window);
        QFETCH(bool, strike);
        QFETCH(int, failedStage);
        if (!strike) {
            qputenv("LUMAREL_SOFFICE", LUMAREL_STANDIN_DIR "/exit1.sh");
            qputenv("LUMAREL_STANDIN_PIDS", QFile::encodeName(test::rootFolder() + "/pids"));
        }
        const auto restore = qScopeGuard([] { qunsetenv("LUMAREL_SOFFICE"); });
        OfficePool pool;
        qint64 struck = 0;
        if (strike)
            watchOfficeCallsForTests([&](const QString& doing) {
                const QList<qint64> offices = test::childProcesses();
                if (!struck && doing.startsWith("opening") && offices.size() == 1) {
                    struck = offices[0];
                    kill(pid_t(struck), SIGKILL);
                }
            });
        const auto unwatch = qScopeGuard([] { watchOfficeCallsForTests(nullptr); });
        FlyerService flyers(pool);
        QString reason;
        if (window) {
            const WindowFlyer flyer = flyers.makeForWindow(
                fields("Fair"), {}, test::tempFolder() + "/qtemar12345678.doc");
            QVERIFY(!flyer.saved && flyer.officeFailed && flyer.page.isNull());
            QVERIFY(!flyer.failures.isEmpty());
            QCOMPARE(int(flyer.failures.first().stage), failedStage);
            reason = flyer.failure;
        } else {
            const QString path = test::rootFolder() + "/flyer.pdf";
            try {
                flyers.make(fields("Fair"), {SaveFormat::Pdf}, path, true);
            } catch (const Failure& failure) {
                reason = failure.description();
            }
            QVERIFY(!QFile::exists(path));
        }
        QVERIFY2(reason.startsWith("The office "), qPrintable(reason));
        QCOMPARE(test::tempFiles(), QStringList());
        // The struck office was given back as failed: the pool lends another.
        if (strike) {
            QVERIFY(struck != 0);
            watchOfficeCallsForTests(nullptr);
            QVERIFY(nextOffice(pool) != struck);
        }
    }

    // The window's flyers, on the jobs' thread: in the order asked, each from the design the idle
    // office opened ahead, on either paper, so that none opens a copy in the temporary folder.
    void windowFlyersComeInOrderFromTheDesignOpenedAhead_data()
    {
        QTest::addColumn<int>("paper");
        QTest::newRow("Letter, the embedded template") << int(Paper::Letter);
        QTest::newRow("A4, a design file") << int(Paper::A4);
    }

    void windowFlyersComeInOrderFromTheDesignOpenedAhead()
    {
        QFETCH(int, paper);
        OfficePool pool;
        FlyerJobs jobs(pool);
        FlyerDesign design;
        design.paper = Paper(paper);
        jobs.openAhead(design);
        pool.keep(1);
        QVERIFY(pool.waitUntilConnected().isEmpty()); // once the design is open
        // The copies in the temporary folder that an office opened, from whatever thread.
        std::mutex noting;
        QStringList opened;
        const QString copies = "opening \"" + test::tempFolder() + "/(template|design)\\.";
        watchOfficeCallsForTests([&](const QString& doing) {
            const std::lock_guard lock(noting);
            if (doing.contains(QRegularExpression(copies)))
                opened << doing;
        });
        const auto unwatch = qScopeGuard([] { watchOfficeCallsForTests(nullptr); });
        QSignalSpy made(&jobs, &FlyerJobs::made);
        const QString first = test::tempFolder() + "/qtemar11111111.doc";
        const QString second = test::tempFolder() + "/qtemar22222222.doc";
        const quint64 job = jobs.make(fields("Spring Fair"), design, first);
        QCOMPARE(jobs.make(fields("Autumn Market"), design, second), job + 1);
        QTRY_COMPARE_WITH_TIMEOUT(made.size(), 2, 300000);
        for (int i : {0, 1}) {
            QCOMPARE(made[i][0].value<quint64>(), job + i);
            const auto flyer = made[i][1].value<WindowFlyer>();
            QVERIFY(flyer.saved && flyer.failures.isEmpty() && !flyer.page.isNull());
            QVERIFY(QFile::remove(flyer.document));
        }
        const std::lock_guard lock(noting);
        QVERIFY2(opened.isEmpty(), qPrintable(opened.join('\n')));
        QCOMPARE(test::tempFiles(), QStringList());
    }

    void anOfficeFaultNamesTheFileAskedForNotItsParts_data()
    {
        QTest::addColumn<bool>("commandLine");
        QTest::addColumn<QString>("name");
        QTest::newRow("a command line's .docx, stored as Word 97 on the way")
            << true << "club flyer.docx";
        QTest::newRow("the preview's .odt") << false << "club flyer.odt";
    }

    // The office killed as it stores a part of the file, in the program's private folder.
    void anOfficeFaultNamesTheFileAskedForNotItsParts()
    {
        QFETCH(bool, commandLine);
        QFETCH(QString, name);
        OfficePool pool;
        FlyerService flyers(pool);
        const QString document = test::rootFolder() + "/window.doc";
        if (!commandLine)
            flyers.make(fields("Fair"), {SaveFormat::Word97}, document, true);
        const QString target = test::rootFolder() + "/" + name;
        watchOfficeCallsForTests([&](const QString& doing) {
            if (doing.startsWith("storing a copy") && doing.contains(name))
                for (qint64 office : test::childProcesses())
                    kill(pid_t(office), SIGKILL);
        });
        const auto unwatch = qScopeGuard([] { watchOfficeCallsForTests(nullptr); });
        QString reason;
        try {
            if (commandLine)
                flyers.make(fields("Fair"), *formatOfExtension(QFileInfo(name).suffix()), target,
                            true);
            else
                flyers.saveDocument(document, target, SaveFormat::OpenDocument);
        } catch (const Failure& failure) {
            reason = failure.description();
        }
        QVERIFY2(reason.startsWith("The office ended unexpectedly while storing a copy as \"" +
                                   target + "\"") &&
                     !reason.contains(partFileMarker()),
                 qPrintable(reason));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(test::tempFiles(), QStringList());
    }
};

LUMAREL_TEST_GUILESS_MAIN(FlyerServiceTest)
#include "tst_flyerservice.moc"
