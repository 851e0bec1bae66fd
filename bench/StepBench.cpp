// Where the time of one flyer goes, step by step, on the engine's own operations: the steps of
// `lumarel --output flyer.pdf` and those of the window's press after the first (the template,
// opened and repaired ahead, filled and stored as .doc, which is opened again for the page
// picture).
#include "Benchmarks.h"

#include "app/Failure.h"
#include "flyer/DocumentExport.h"
#include "flyer/PageCapture.h"
#include "flyer/WordBookmarks.h"
#include "flyer/WordImportRepair.h"
#include "flyer/WordParagraphs.h"
#include "flyer/WordShapes.h"
#include "office/OfficeEngine.h"
#include "office/OfficeProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QUuid>

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

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
    const QByteArray socket =
        QFile::encodeName(QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(getuid()).arg(pipe));
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
    QList<double> copy, accepting, create, openTemplate, repairTemplate, wordReaders, texts,
        storeDoc, reopen, repairReopen, pdf, render, pageCount, close, quit;
};

void reportStep(const char* name, const QList<double>& samples)
{
    report(QStringLiteral("  ") + QLatin1String(name), samples);
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
    for (int round = 0; round < kRounds; ++round) {
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
        steps.openTemplate += timeRuns(1, [&] { office->open(templatePath, true); });
        steps.repairTemplate += timeRuns(1, [&] { repairWordImport(*office, templatePath); });
        steps.wordReaders += timeRuns(1, [&] {
            readWordBookmarks(templatePath);
            readWordShapes(templatePath);
            readWordParagraphs(templatePath);
        });
        steps.texts += timeRuns(1, [&] {
            for (const char* mark :
                 {"OrgName", "EventName", "EventDate", "EventTime", "EventAddr", "EventMore"})
                office->setBookmarkText(QLatin1String(mark), QStringLiteral("Text %1").arg(round));
        });
        steps.storeDoc +=
            timeRuns(1, [&] { exportOpenDocument(*office, SaveFormat::Word97, doc); });
        steps.close += timeRuns(1, [&] { office->closeWithoutSaving(); });
        steps.reopen += timeRuns(1, [&] { office->open(doc, true); });
        steps.repairReopen +=
            timeRuns(1, [&] { repairWordImport(*office, doc, ImportRepair::Page); });
        steps.pdf += timeRuns(1, [&] { office->exportPdf(pdf); });
        steps.pageCount += timeRuns(1, [&] { office->pageCount(); });
        steps.render += timeRuns(1, [&] {
            QImageWriter(folder.path() + QStringLiteral("/page.bmp"), "bmp")
                .write(office->renderFirstPage(kPageDotsPerMeter));
        });
        office->closeWithoutSaving();
        steps.quit += timeRuns(1, [&] { office.reset(); });
        QFile::remove(doc);
        QFile::remove(pdf);
    }
    std::printf("Where the time of one flyer goes (medians of %d rounds):\n", kRounds);
    report(QStringLiteral("lumarel --output flyer.pdf, whole process"), whole);
    reportStep("office start: profile copy", steps.copy);
    reportStep("office start: process until its pipe accepts", steps.accepting);
    reportStep("office start: all, with copy and connection", steps.create);
    reportStep("open template", steps.openTemplate);
    reportStep("restoration and repair of the template", steps.repairTemplate);
    reportStep("  of which the Word 97 readers of the file", steps.wordReaders);
    reportStep("six bookmark texts", steps.texts);
    reportStep("store .doc", steps.storeDoc);
    reportStep("close the template", steps.close);
    reportStep("reopen .doc", steps.reopen);
    reportStep("repair of the reopened .doc, what shows on the page", steps.repairReopen);
    reportStep("export PDF (command line)", steps.pdf);
    reportStep("page count", steps.pageCount);
    reportStep("render page + write BMP (window)", steps.render);
    reportStep("end of the office", steps.quit);
    double sum = 0;
    for (const QList<double>* step :
         {&steps.create, &steps.openTemplate, &steps.repairTemplate, &steps.texts, &steps.storeDoc,
          &steps.close, &steps.reopen, &steps.repairReopen, &steps.pdf, &steps.pageCount,
          &steps.quit})
        sum += median(*step);
    std::printf("%-48s %8.1f ms\n", "  the rest: process, Qt, settings, files",
                median(whole) - sum);
    // The window's press after the first finds the template open and repaired ahead: the
    // texts, the .doc stored and opened again for its page, and the picture.
    double press = 0;
    for (const QList<double>* step : {&steps.texts, &steps.storeDoc, &steps.close, &steps.reopen,
                                      &steps.repairReopen, &steps.pageCount, &steps.render})
        press += median(*step);
    std::printf("%-48s %8.1f ms\n", "window press after the first, its office steps", press);
    std::printf("%-48s %8.1f ms\n", "  opened ahead, after the flyer is shown",
                median(steps.openTemplate) + median(steps.repairTemplate));
    std::fflush(stdout);
}

} // namespace lumarel::bench
