#include "Benchmarks.h"

#include "app/Failure.h"
#include "app/ProcessMemory.h"
#include "details/Form1.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "office/OfficeProcess.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cstdio>

namespace lumarel::bench {

QList<double> timeRuns(int runs, const std::function<void()>& work,
                       const std::function<void()>& prepare)
{
    QList<double> samples;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        samples << timer.nsecsElapsed() / 1e6;
    }
    return samples;
}

std::pair<QList<double>, QList<double>> timeByTurns(int runs, const std::function<void()>& ours,
                                                    const std::function<void()>& reference,
                                                    const std::function<void()>& prepare)
{
    std::pair<QList<double>, QList<double>> samples;
    for (int i = 0; i < runs; ++i) {
        samples.first += timeRuns(1, ours, prepare);
        samples.second += timeRuns(1, reference);
    }
    return samples;
}

double median(QList<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

void report(const QString& name, const QList<double>& samples)
{
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    std::printf("%-56s median %8.1f ms  (min %.1f, max %.1f, %lld runs)\n", qPrintable(name),
                median(samples), samples.isEmpty() ? 0 : *low, samples.isEmpty() ? 0 : *high,
                static_cast<long long>(samples.size()));
    std::fflush(stdout);
}

void pressToPreview(Form1& form)
{
    QEventLoop ended;
    QObject::connect(&form, &Form1::pressEnded, &ended, &QEventLoop::quit);
    form.PushButton6_Click();
    if (form.busy())
        ended.exec();
}

void reportReadyOfficeMemory(const char* when)
{
    OfficeEngine& taken = programOffices().take();
    const qint64 office = taken.processId();
    programOffices().giveBack(taken, false);
    QThread::sleep(3);
    std::printf("%-48s resident %lld kB (proportional %lld kB)\n", when, residentKb(office),
                processMemoryKb(office, "smaps_rollup", "Pss:"));
    std::fflush(stdout);
}

void useFolder(const QString& folder)
{
    qputenv("TEMP", QFile::encodeName(folder));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder + QStringLiteral("/config")));
}

void convertToPdf(const QString& profileFolder, const QString& outFolder, const QStringList& files)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        throw Failure(QStringLiteral("soffice is not on the path"));
    QProcess process;
    process.start(soffice,
                  QStringList{QStringLiteral("-env:UserInstallation=") +
                                  QUrl::fromLocalFile(profileFolder).toString(),
                              QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                              QStringLiteral("pdf"), QStringLiteral("--outdir"), outFolder} +
                      files);
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        throw Failure(QStringLiteral("soffice --convert-to pdf failed"));
}

QString conversionProfile(const QString& folder)
{
    const QString base = baseProfileFolder(officeExecutable());
    if (!QFileInfo::exists(base + QStringLiteral("/user")))
        OfficeEngine(); // makes it
    const QString profile = folder + QStringLiteral("/conversion-profile");
    if (!QFileInfo::exists(profile) && !copyFolder(base, profile))
        throw Failure(QStringLiteral("The base profile could not be copied to %1").arg(profile));
    return profile;
}

QList<double> commandLineConversion(const QString& source, const QString& folder, int runs)
{
    const QString profile = conversionProfile(folder);
    return timeRuns(runs, [&] { convertToPdf(profile, folder, {source}); });
}

void runProgram(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(LUMAREL_PROGRAM), arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw Failure(QStringLiteral("lumarel %1 ended with %2: %3")
                          .arg(arguments.join(QLatin1Char(' ')))
                          .arg(process.exitCode())
                          .arg(QString::fromLocal8Bit(process.readAllStandardError())));
}

void ratio(const char* name, double ours, double reference, double goal)
{
    if (goal > 0)
        std::printf("%-56s %8.2f (goal: at most %.2f)\n", name, ours / reference, goal);
    else
        std::printf("%-56s %8.2f\n", name, ours / reference);
    std::fflush(stdout);
}

} // namespace lumarel::bench
