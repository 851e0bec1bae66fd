// Where the time of one flyer goes, step by step, on the engine's own operations: the steps of
// `lumarel --output flyer.pdf`, those the window's press after the first runs on the template
// opened ahead (texts, .doc, the page of the document the office holds; the whole press is
// timed by the flyer benchmark), and the first flyer ever, which imports the Word 97 template.
#include "Benchmarks.h"

#include "app/Failure.h"
#include "flyer/DocumentExport.h"
#include "flyer/PageCapture.h"
#include "office/OfficeEngine.h"
#include "office/OfficeProcess.h"
#include "word97/WordBookmarks.h"
#include "word97/WordParagraphs.h"
#include "word97/WordShapes.h"
#include "wordimport/ReadyTemplate.h"
#include "wordimport/WordImportRepair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QUuid>

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace lumarel::bench {

namespace {

constexpr int kRounds = 5;

// From the office's start until its pipe accepts connections: the office's own start-up,
// without this program's connection. The socket file appears when the office accepts.
double officeStartToAccepting(const QString& base, const QString& folder)
{
    const QString profile = folder + QStringLiteral("/accepting-profile");
    QDir(profile).removeRecursively();
    copyFolder(base, profile);
    const QString pipe =
        QStringLiteral("lumarel-bench-") + QUuid::createUuid().toString(QUuid::Id128);
    const QString profileUrl = QUrl::fromLocalFile(profile).toString(QUrl::FullyEncoded);
    const QByteArray socket = QFile::encodeName(officePipeSockets(pipe).front());
    double elapsed = 0;
    {
        std::unique_ptr<OfficeProcess> office;
        elapsed =
            timeRuns(1, [&] {
                office = std::make_unique<OfficeProcess>(
                    officeExecutable(),
                    QStringList{QStringLiteral("--headless"), QStringLiteral("--invisible"),
                                QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                                QStringLiteral("--nodefault"), QStringLiteral("--nolockcheck"),
                                QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipe),
                                QStringLiteral("-env:UserInstallation=") + profileUrl},
                    QStringList{}, QStringList{});
                struct stat info;
                while (stat(socket.constData(), &info) != 0) {
                    if (office->exitCode())
                        throw Failure(QStringLiteral("The office ended before it accepted."));
                    QThread::usleep(500);
                }
            }).front();
    }
    removeOfficePipes(pipe, profileUrl);
    return elapsed;
}

struct Steps
{
    QList<double> copy, accepting, create, openReady, texts, storeDoc, pdf, render, pageCount,
        close, openWord, repairWord, wordReaders, quit;
};

void reportStep(const char* name, const QList<double>& samples)
{
    report(QStringLiteral("  ") + QLatin1String(name), samples);
}

double sum(std::initializer_list<const QList<double>*> steps)
{
    double total = 0;
    for (const QList<double>* step : steps)
        total += median(*step);
    return total;
}

} // namespace

void stepBenchmarks()
{
    QTemporaryDir folder;
    useFolder(folder.path());
    conversionProfile(folder.path()); // makes the base profile when missing
    const QString baseProfile = baseProfileFolder(officeExecutable());
    const QString templatePath = folder.path() + QStringLiteral("/step-template.dot");
    QFile::copy(QStringLiteral(":/template.dot"), templatePath);
    const QString doc = folder.path() + QStringLiteral("/flyer.doc");
    const QString pdf = folder.path() + QStringLiteral("/flyer.pdf");

    Steps steps;
    QList<double> whole;
    const QString ready = readyTemplatePath(officeExecutable());
    {
        OfficeEngine office; // keeps this program's repaired copy in the cache
        openFlyerTemplate(office, templatePath);
    }
    for (int round = 0; round < kRounds; ++round) {
        // The command line's flyer, which keeps the repaired template in the cache at its first
        // run; every round after the first finds it there.
        whole += timeRuns(1, [&] {
            runProgram({QStringLiteral("--output"), pdf, QStringLiteral("--set"),
                        QStringLiteral("txtOrgName=Quenwick")});
        });
        steps.copy += timeRuns(1, [&] {
            copyFolder(baseProfile, folder.path() + QStringLiteral("/copy-%1").arg(round));
        });
        steps.accepting << officeStartToAccepting(baseProfile, folder.path());
        std::unique_ptr<OfficeEngine> office;
        steps.create += timeRuns(1, [&] { office = std::make_unique<OfficeEngine>(); });
        // A new office's first document, as the command line opens it for a PDF.
        steps.openReady += timeRuns(1, [&] { office->open(ready, true); });
        steps.texts += timeRuns(1, [&] {
            for (const char* mark :
                 {"OrgName", "EventName", "EventDate", "EventTime", "EventAddr", "EventMore"})
                office->setBookmarkText(QLatin1String(mark), QStringLiteral("Text %1").arg(round));
        });
        steps.storeDoc +=
            timeRuns(1, [&] { exportOpenDocument(*office, SaveFormat::Word97, doc); });
        steps.pdf += timeRuns(1, [&] { office->exportPdf(pdf); });
        steps.render += timeRuns(1, [&] { office->renderFirstPage(kPageDotsPerMeter); });
        steps.pageCount += timeRuns(1, [&] { office->pageCount(); });
        steps.close += timeRuns(1, [&] { office->closeWithoutSaving(); });
        steps.quit += timeRuns(1, [&] { office.reset(); });
        // The first flyer ever, in an office of its own: the Word 97 template imported and
        // repaired.
        office = std::make_unique<OfficeEngine>();
        steps.openWord += timeRuns(1, [&] { office->open(templatePath, true); });
        steps.repairWord += timeRuns(1, [&] { repairWordImport(*office, templatePath); });
        steps.wordReaders += timeRuns(1, [&] {
            readWordBookmarks(templatePath);
            readWordShapes(templatePath);
            readWordParagraphs(templatePath);
        });
        office.reset();
        QFile::remove(doc);
        QFile::remove(pdf);
    }
    std::printf("Where the time of one flyer goes (medians of %d rounds):\n", kRounds);
    report(QStringLiteral("lumarel --output flyer.pdf, whole process"), whole);
    reportStep("office start: profile copy", steps.copy);
    reportStep("office start: process until its pipe accepts", steps.accepting);
    reportStep("office start: all, with copy and connection", steps.create);
    reportStep("open the kept template (the office's first document)", steps.openReady);
    reportStep("six bookmark texts", steps.texts);
    reportStep("store .doc (window)", steps.storeDoc);
    reportStep("export PDF (command line)", steps.pdf);
    reportStep("render the held page (window)", steps.render);
    reportStep("page count", steps.pageCount);
    reportStep("close the document", steps.close);
    reportStep("end of the office, asked to quit", steps.quit);
    reportStep("first flyer ever: open the Word 97 template", steps.openWord);
    reportStep("first flyer ever: its restoration and repair", steps.repairWord);
    reportStep("  of which the Word 97 readers of the file", steps.wordReaders);
    const double cli =
        sum({&steps.create, &steps.openReady, &steps.texts, &steps.pdf, &steps.pageCount});
    std::printf("%-48s %8.1f ms\n", "  command line's office steps", cli);
    std::printf("%-48s %8.1f ms\n", "  the rest: process, Qt, settings, files, end",
                median(whole) - cli);
    std::fflush(stdout);
}

} // namespace lumarel::bench
