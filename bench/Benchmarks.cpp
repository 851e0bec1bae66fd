#include "Benchmarks.h"

#include "app/Failure.h"
#include "flyer/ReadyOffice.h"
#include "office/OfficeEngine.h"

#include <QElapsedTimer>
#include <QFile>
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
    std::printf("%-48s median %8.1f ms  (min %.1f, max %.1f, %lld runs)\n", qPrintable(name),
                median(samples), samples.isEmpty() ? 0 : *low, samples.isEmpty() ? 0 : *high,
                static_cast<long long>(samples.size()));
    std::fflush(stdout);
}

namespace {

// A field of /proc/<pid>/<file>, in kB.
qint64 memoryField(qint64 pid, const char* file, const char* field)
{
    QFile status(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

void reportReadyOfficeMemory(const char* when)
{
    const qint64 office = ReadyOffice::take().processId();
    ReadyOffice::giveBack(false);
    QThread::sleep(3);
    std::printf("%-48s resident %lld kB (proportional %lld kB)\n", when,
                memoryField(office, "status", "VmRSS:"),
                memoryField(office, "smaps_rollup", "Pss:"));
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

QList<double> commandLineConversion(const QString& source, const QString& folder, int runs)
{
    const auto convert = [&] {
        convertToPdf(folder + QStringLiteral("/cli-profile"), folder, {source});
    };
    convert();
    return timeRuns(runs, convert);
}

void ratio(const char* name, double ours, double reference)
{
    std::printf("%-44s %8.2f\n", name, ours / reference);
}

} // namespace lumarel::bench
