#include "cli/BatchCommand.h"

#include "app/Failure.h"
#include "app/RegularFile.h"
#include "app/StopSignals.h"
#include "cli/DesignOption.h"
#include "cli/FlyerDetails.h"
#include "cli/FlyerList.h"
#include "flyer/FlyerService.h"
#include "flyer/FontCoverage.h"
#include "office/OfficePool.h"
#include "runfiles/PartFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace lumarel::cli {

namespace {

// A list is made by one office per core, while each still has a dozen flyers or so to make (a
// further office pays for its start after about that many), and by four at the most.
constexpr size_t kFlyersPerOffice = 12;
constexpr size_t kMostOffices = 4;
// A list is read whole; far more than a list of flyers ever holds.
constexpr qint64 kLargestList = qint64(256) << 20;

struct FlyerJob
{
    int line; // the list's line, for messages
    FlyerFields fields;
    QString path;
};

int officesForFlyers(size_t flyers)
{
    const size_t cores = size_t(qMax(1, QThread::idealThreadCount()));
    return int(qMax<size_t>(
        1, std::min({cores, (flyers + kFlyersPerOffice - 1) / kFlyersPerOffice, kMostOffices})));
}

// A bar on a terminal, which each message first clears; a line per flyer elsewhere.
class Progress
{
public:
    Progress(Console& console, int total) : m_console(console), m_total(total) {}
    ~Progress() { clearBar(); }

    // A row's outcome other than a flyer made, or (counted false) a note about the list; rows
    // are named by the line of the list they start on.
    void message(int line, const QString& text, bool counted = true)
    {
        m_done += counted ? 1 : 0;
        clearBar();
        m_console.err << (line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(text) : text)
                      << Qt::endl;
        if (line > 0)
            drawBar();
    }
    void done(int line, const QString& path)
    {
        ++m_done;
        if (m_console.terminal)
            drawBar();
        else
            m_console.err << QStringLiteral("[%1/%2] line %3: %4")
                                 .arg(m_done)
                                 .arg(m_total)
                                 .arg(line)
                                 .arg(path)
                          << Qt::endl;
    }

private:
    void drawBar()
    {
        if (!m_console.terminal)
            return;
        constexpr int kWidth = 30;
        const int filled = m_total > 0 ? kWidth * m_done / m_total : kWidth;
        m_console.err << QStringLiteral("\r[%1%2] %3/%4")
                             .arg(QString(filled, QLatin1Char('#')),
                                  QString(kWidth - filled, QLatin1Char('-')))
                             .arg(m_done)
                             .arg(m_total)
                      << Qt::flush;
        m_drawn = true;
    }
    void clearBar()
    {
        if (m_drawn)
            m_console.err << "\r\033[K" << Qt::flush;
        m_drawn = false;
    }

    Console& m_console;
    int m_total;
    int m_done = 0;
    bool m_drawn = false;
};

} // namespace

QList<QCommandLineOption> BatchCommand::options() const
{
    return {
        {{QStringLiteral("b"), QStringLiteral("batch")},
         QStringLiteral("Makes one flyer per row of the CSV file <list>: its first row names the "
                        "columns (the keys below, and \"name\" for the file name)."),
         QStringLiteral("list")},
        {{QStringLiteral("d"), QStringLiteral("output-dir")},
         QStringLiteral("With --batch: the folder for the flyers (made if missing)."),
         QStringLiteral("dir")},
        {{QStringLiteral("f"), QStringLiteral("format")},
         QStringLiteral("With --batch: pdf (the default), doc, docx, odt or png."),
         QStringLiteral("format"),
         QStringLiteral("pdf")},
        {QStringLiteral("overwrite"),
         QStringLiteral("With --batch: replaces flyers that exist already; otherwise they are "
                        "kept.")},
    };
}

int BatchCommand::execute(const QCommandLineParser& parser, Console& console)
{
    const QString listPath = parser.value(QStringLiteral("batch"));
    const QString folder = parser.value(QStringLiteral("output-dir"));
    if (folder.isEmpty())
        throw UsageError{QStringLiteral("--batch needs --output-dir, the folder for the flyers")};
    const std::optional<OutputFormat> format =
        formatOfExtension(parser.value(QStringLiteral("format")));
    if (!format || parser.value(QStringLiteral("format")).contains(QLatin1Char('.')))
        throw UsageError{QStringLiteral("--format %1: use pdf, doc, docx, odt or png")
                             .arg(parser.value(QStringLiteral("format")))};
    const bool overwrite = parser.isSet(QStringLiteral("overwrite"));
    const FlyerDesign design = designToUse(parser, console);

    QByteArray bytes;
    try {
        bytes = readRegularFile(listPath, kLargestList);
    } catch (const Failure& failure) {
        throw UsageError{QStringLiteral("--batch %1: it %2").arg(listPath, failure.description())};
    }
    const FlyerList list = parseFlyerList(bytes);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw UsageError{
            QStringLiteral("--output-dir %1: not a folder that can be made").arg(folder)};
    const QString outputFolder = QFileInfo(folder).absoluteFilePath();
    removeAbandonedPartFiles(outputFolder);
    removeAbandonedExportFolders();

    Progress progress(console, int(list.rows.size()));
    // No row was tried: the list itself is the mistake.
    if (!list.headerProblem.isEmpty()) {
        progress.message(1, list.headerProblem + QStringLiteral("; no flyer was made"), false);
        return kBadUsage;
    }

    try {
        requireReadableStore(list.columns, console.err);
    } catch (const Failure& failure) {
        progress.message(0, QStringLiteral("lumarel: %1").arg(failure.description()), false);
        return kOtherFailure;
    }
    const QHash<QString, QString> stored = storedTexts();
    const QString extension = extensionOf(*format);
    QSet<QString> taken;
    std::vector<FlyerJob> jobs;
    int kept = 0, failed = 0;
    for (const ListRow& row : list.rows) {
        const RowFlyer flyer = rowFlyer(row, stored, extension);
        QString problem = flyer.problem;
        const QString path = outputFolder + QLatin1Char('/') + flyer.fileName;
        if (problem.isEmpty() && taken.contains(flyer.fileName))
            problem =
                QStringLiteral("the file name %1 is used by an earlier row").arg(flyer.fileName);
        taken.insert(flyer.fileName);
        if (!problem.isEmpty()) {
            progress.message(row.line, problem + QStringLiteral("; skipped"));
            ++failed;
        } else if (!overwrite && QFileInfo::exists(path)) {
            progress.message(
                row.line,
                QStringLiteral("%1 exists and was kept (--overwrite replaces it)").arg(path));
            ++kept;
        } else {
            jobs.push_back({row.line, flyer.fields, path});
        }
    }

    int made = 0;
    if (!jobs.empty()) {
        // A stop lets the offices end and their files go, after the flyers being made.
        const FinishBeforeStop finish;
        // The offices all start at once, in the background, and end with the command.
        OfficePool offices;
        offices.keep(officesForFlyers(jobs.size()));
        FlyerService first(offices);
        first.setDesign(design);
        if (!startOffice(first, console))
            return kNoOffice;
        // Every office makes flyers one after another, each taking the next row left.
        std::mutex said;
        std::atomic<size_t> next{0};
        const auto makeFlyers = [&](FlyerService& maker) {
            for (size_t index; !stopRequested() && (index = next++) < jobs.size();) {
                const FlyerJob& job = jobs[index];
                QString failure;
                MadeFlyer flyer;
                try {
                    flyer = maker.make(job.fields, *format, job.path, overwrite);
                } catch (const Failure& refusal) {
                    failure = refusal.description();
                }
                const std::lock_guard lock(said);
                if (failure.isEmpty()) {
                    progress.done(job.line, job.path);
                    for (const QString& notice :
                         flyerNotices(job.fields, flyer.pages, flyer.unfitted,
                                      flyer.mixedDirections, !format->document))
                        progress.message(job.line, job.path + QStringLiteral(": ") + notice);
                    ++made;
                } else if (!overwrite && QFileInfo::exists(job.path)) {
                    // Another run into the same folder made it meanwhile.
                    progress.message(
                        job.line,
                        QStringLiteral("%1 was made meanwhile by another run and was kept")
                            .arg(job.path));
                    ++kept;
                } else {
                    progress.message(job.line, failure);
                    ++failed;
                }
            }
        };
        std::vector<std::thread> others;
        for (int office = 1; office < officesForFlyers(jobs.size()); ++office)
            others.emplace_back([&] {
                FlyerService maker(offices);
                maker.setDesign(design);
                try {
                    maker.start();
                } catch (const Failure& failure) {
                    const std::lock_guard lock(said);
                    progress.message(0,
                                     QStringLiteral("One more office could not be started, so "
                                                    "fewer make the flyers: %1")
                                         .arg(failure.description()),
                                     false);
                    return;
                }
                makeFlyers(maker);
            });
        makeFlyers(first);
        for (std::thread& other : others)
            other.join();
        if (stopRequested() && next < jobs.size()) {
            progress.message(jobs[next].line,
                             QStringLiteral("stopped; this row and the rest were not made"), false);
            return kOtherFailure;
        }
    }
    progress.message(
        0, QStringLiteral("%1 made, %2 kept, %3 failed").arg(made).arg(kept).arg(failed), false);
    // A stop that came with the last flyers still tells a script that the run was stopped.
    if (stopRequested())
        return kOtherFailure;
    return failed > 0 ? kRowsFailed : kAllMade;
}

} // namespace lumarel::cli
