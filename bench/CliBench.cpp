// The command line as a user runs it, a whole process per call, against the office's own
// conversion started on a copy of the same base profile: one flyer against one conversion of
// the template, and a list of flyers against one call converting as many copies.
#include "Benchmarks.h"

#include "app/Failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lumarel::bench {

namespace {

constexpr int kRuns = 5;
constexpr int kFlyers = 50;

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
    const QString profile = conversionProfile(folder.path());
    const QString pdfFolder = folder.path() + QStringLiteral("/pdf");

    const QString flyer = folder.path() + QStringLiteral("/one.pdf");
    const auto [one, oneConverted] = timeByTurns(
        kRuns,
        [&] {
            runProgram({QStringLiteral("--output"), flyer, QStringLiteral("--set"),
                        QStringLiteral("txtOrgName=Quenwick")});
        },
        [&] { convertToPdf(profile, pdfFolder, copies.mid(0, 1)); }, [&] { QFile::remove(flyer); });
    report(QStringLiteral("lumarel --output one.pdf (whole process)"), one);
    report(QStringLiteral("soffice --convert-to pdf, the template"), oneConverted);
    ratio("ratio one flyer / one conversion", median(one), median(oneConverted), 0.8);

    const QString flyers = folder.path() + QStringLiteral("/flyers");
    const auto [batch, allConverted] = timeByTurns(
        kRuns,
        [&] {
            runProgram(
                {QStringLiteral("--batch"), listPath, QStringLiteral("--output-dir"), flyers});
        },
        [&] { convertToPdf(profile, pdfFolder, copies); },
        [&] { QDir(flyers).removeRecursively(); });
    report(QStringLiteral("lumarel --batch list.csv, %1 rows to pdf").arg(kFlyers), batch);
    report(QStringLiteral("soffice --convert-to pdf, %1 copies in one call").arg(kFlyers),
           allConverted);
    ratio("ratio list / one call converting as many", median(batch), median(allConverted), 0.5);
}

} // namespace lumarel::bench
