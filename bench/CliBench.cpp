// A list of flyers to PDF from the command line, against the office's own conversion of as
// many copies of the template in one call.
#include "Benchmarks.h"

#include "app/Failure.h"
#include "cli/CommandLine.h"
#include "flyer/WordImportRepair.h"
#include "office/OfficeEngine.h"
#include "office/OfficeProcess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace lumarel::bench {

namespace {

constexpr int kFlyers = 50;

double elapsedMs(const std::function<void()>& work)
{
    return timeRuns(1, work).front();
}

// The line of a prepared base profile's settings that records the office version as seen.
QByteArray versionSeenSetting()
{
    QFile settings(baseProfileFolder(officeExecutable()) +
                   QStringLiteral("/user/registrymodifications.xcu"));
    if (settings.open(QIODevice::ReadOnly))
        for (const QByteArray& line : settings.readAll().split('\n'))
            if (line.contains("ooSetupLastVersion"))
                return line;
    throw Failure(QStringLiteral("The base profile does not record its office version."));
}

struct Conversions
{
    double one = 0;     // start, one file, quit
    double all = 0;     // all files in one call
    double allSeen = 0; // the same, on a profile that records its version as seen
};

// `soffice --headless --convert-to pdf` calls, on a profile that an untimed first conversion
// prepared: one file, then all `files` in one call; then all again, once the profile records
// its version as seen, as this program's profiles do.
Conversions convertTo(const QString& folder, const QStringList& files)
{
    const auto convert = [&](const QStringList& some) {
        convertToPdf(folder + QStringLiteral("/profile"), folder + QStringLiteral("/pdf"), some);
    };
    convert(files.mid(0, 1));
    Conversions times;
    times.one = elapsedMs([&] { convert(files.mid(0, 1)); });
    times.all = elapsedMs([&] { convert(files); });
    QFile settings(folder + QStringLiteral("/profile/user/registrymodifications.xcu"));
    if (!settings.open(QIODevice::ReadWrite))
        throw Failure(QStringLiteral("The profile of soffice --convert-to has no settings."));
    const QByteArray text = settings.readAll();
    settings.resize(0);
    settings.write(
        QByteArray(text).replace("</oor:items>", versionSeenSetting() + "\n</oor:items>"));
    settings.close();
    times.allSeen = elapsedMs([&] { convert(files); });
    return times;
}

} // namespace

void cliBenchmarks()
{
    QTemporaryDir folder;
    useFolder(folder.path());
    QByteArray list("name,txtOrgName,txtEventName,dtpEventDate,txtMore\n");
    QStringList copies;
    for (int i = 1; i <= kFlyers; ++i) {
        list += QStringLiteral("flyer %1,Org %1,\"Event %1\nSecond line\",2027-03-%2,Bring "
                               "%1 chairs.\n")
                    .arg(i)
                    .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                    .toUtf8();
        copies << folder.path() + QStringLiteral("/copy%1.dot").arg(i);
        QFile::copy(QStringLiteral(":/template.dot"), copies.back());
    }
    const QString listPath = folder.path() + QStringLiteral("/list.csv");
    QFile file(listPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(list) != list.size())
        throw Failure(QStringLiteral("The list could not be written."));
    file.close();

    { // the office's base profile, made once
        OfficeEngine warmUp;
    }
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    cli::Console console{outStream, errStream, false};
    const double batch = elapsedMs([&] {
        const int status = cli::runCommandLine(
            {QStringLiteral("lumarel"), QStringLiteral("--batch"), listPath,
             QStringLiteral("--output-dir"), folder.path() + QStringLiteral("/flyers")},
            console);
        if (status != 0)
            throw Failure(QStringLiteral("lumarel --batch ended with %1: %2").arg(status).arg(err));
    });
    const Conversions convert = convertTo(folder.path(), copies);

    // Where the time goes: the same work, part by part.
    QList<double> start, open, fill, pdf;
    OfficeEngine* office = nullptr;
    start << elapsedMs([&] { office = new OfficeEngine; });
    const std::unique_ptr<OfficeEngine> owner(office);
    open << elapsedMs([&] { openWordDocument(*office, copies[0], true); });
    for (int i = 0; i < 10; ++i) {
        fill << elapsedMs([&] {
            for (const char* mark :
                 {"OrgName", "EventName", "EventDate", "EventTime", "EventAddr", "EventMore"})
                office->setBookmarkText(QLatin1String(mark), QStringLiteral("Text %1").arg(i));
        });
        pdf << elapsedMs([&] { office->exportPdf(folder.path() + QStringLiteral("/part.pdf")); });
    }
    report(QStringLiteral("  of which office start"), start);
    report(QStringLiteral("  of which template open"), open);
    report(QStringLiteral("  of which six bookmark texts, per flyer"), fill);
    report(QStringLiteral("  of which PDF export, per flyer"), pdf);
    std::printf("%-48s %8.1f ms per flyer (%d flyers, office start included)\n",
                "lumarel --batch list.csv (pdf)", batch / kFlyers, kFlyers);
    std::printf("%-48s %8.1f ms per file (%d files in one call)\n",
                "soffice --headless --convert-to pdf", convert.all / kFlyers, kFlyers);
    std::printf("%-48s %8.1f ms (start, one file, quit)\n", "  of which fixed: one file alone",
                convert.one);
    std::printf("%-48s %8.1f ms per file\n", "  of which each further file",
                (convert.all - convert.one) / (kFlyers - 1));
    std::printf("%-48s %8.2f (goal: at most 0.60)\n", "ratio batch / convert-to",
                batch / convert.all);
    // The comparison without the office's graphics self-tests, which a headless office repeats
    // at every start until its profile records the version as seen.
    std::printf("%-48s %8.1f ms per file\n", "soffice --convert-to, version marked seen",
                convert.allSeen / kFlyers);
    std::printf("%-48s %8.2f\n", "ratio batch / that", batch / convert.allSeen);
    std::fflush(stdout);
}

} // namespace lumarel::bench
