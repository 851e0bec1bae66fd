// The settings store with a 10 MB value in its file: Qt's own INI reading and writing of such a
// file next to the store's, the start-up to the drawn window, a keystroke with its write, and
// twenty keys typed at the end of the value.
#include "Benchmarks.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/SettingsStore.h"
#include "details/Form1.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTemporaryDir>

#include <ctime>
#include <functional>
#include <memory>

namespace lumarel::bench {

namespace {

constexpr qsizetype kTenMegabytes = 10 * 1000 * 1000;

// Ten million characters of words; `lineLength` 0 gives one line without a break.
QString tenMegabytes(int lineLength)
{
    const QString words = QStringLiteral("Tacos, beans and salsa; bring a chair = fun. ");
    QString text;
    text.reserve(kTenMegabytes + kTenMegabytes / 16);
    qsizetype sinceBreak = 0;
    while (text.size() < kTenMegabytes) {
        text += words;
        sinceBreak += words.size();
        if (lineLength > 0 && sinceBreak >= lineLength) {
            text += QLatin1String("\r\n");
            sinceBreak = 0;
        }
    }
    return text;
}

// A new modification time makes every reader that caches the file read it again.
void touch(const QString& path, int& stamp)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) ||
        !file.setFileTime(QDateTime::currentDateTime().addSecs(++stamp),
                          QFileDevice::FileModificationTime))
        throw Failure(QStringLiteral("cannot touch %1").arg(path));
}

void requireQuiet(const char* what)
{
    const QList<ShownMessage> shown = Dialogs::takeShown();
    if (!shown.isEmpty())
        throw Failure(QStringLiteral("%1 reported: %2").arg(QLatin1String(what), shown[0].text));
}

// The wall clock and the thread's own processor time of each run: on a machine shared with
// other work the wall clock also counts the waits for a processor.
void measure(const QString& name, int runs, const std::function<void()>& work,
             const std::function<void()>& prepare = {})
{
    QList<double> processor;
    const QList<double> wall = timeRuns(
        runs,
        [&] {
            timespec start, end;
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
            work();
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
            processor << (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
        },
        prepare);
    report(name, wall);
    report(QStringLiteral("    processor time of the same"), processor);
}

void typeKey(QWidget* widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

void windowBenchmarks(const char* field, const char* what, const QString& value, int runs)
{
    SettingsStore::save(QLatin1String(field), value);
    std::unique_ptr<Form1> form;
    measure(
        QStringLiteral("start-up to the drawn window, %1").arg(QLatin1String(what)), runs,
        [&] {
            form = std::make_unique<Form1>();
            form->Form_Load(Form1::EngineCheck::Skip);
            form->repaint();
        },
        [&] { form.reset(); });
    requireQuiet("the start-up");

    QWidget* box = form->findChild<QWidget*>(QLatin1String(field));
    box->setFocus();
    measure(QStringLiteral("  a keystroke there, drawn"), runs, [&] {
        typeKey(box);
        form->repaint();
    });
    QWidget* other = form->findChild<QWidget*>(QStringLiteral("txtLocation"));
    if (other != box) {
        other->setFocus();
        measure(QStringLiteral("  a keystroke in another box, drawn"), runs, [&] {
            typeKey(other);
            form->repaint();
        });
    }
    requireQuiet("typing");

    // Twenty keys at the end of the value, each stored at once; the value must come back whole.
    QString expected = SettingsStore::get(QLatin1String(field));
    box->setFocus();
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->end(false);
    else if (auto* edit = qobject_cast<QPlainTextEdit*>(box))
        edit->moveCursor(QTextCursor::End);
    measure(QStringLiteral("  20 keys at the end, all stored"), 1, [&] {
        for (int i = 0; i < 20; ++i)
            typeKey(box);
    });
    expected += QString(20, QLatin1Char('x'));
    if (SettingsStore::get(QLatin1String(field)) != expected)
        throw Failure(QStringLiteral("the store does not hold the typed value byte for byte"));
    requireQuiet("typing at the end");
    form.reset();
    SettingsStore::save(QLatin1String(field), QString());
}

} // namespace

void settingsBenchmarks()
{
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.path() + QStringLiteral("/config")));
    Dialogs::setScripted(true);
    constexpr int kRuns = 5;
    int stamp = 0;
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average: %s", load.readLine().constData());

    const QString lines = tenMegabytes(80);
    SettingsStore::save(QStringLiteral("txtMore"), lines);
    const QString path = SettingsStore::filePath();
    std::printf("settings file with a 10 MB value: %lld bytes\n",
                static_cast<long long>(QFile(path).size()));

    QString copy;
    int copies = 0;
    measure(
        QStringLiteral("Qt's INI reader, one value (fresh file)"), kRuns,
        [&] {
            QSettings settings(copy, QSettings::IniFormat);
            if (settings.value(QStringLiteral("Lumarel/txtMore")).toString() != lines)
                throw Failure(QStringLiteral("Qt read another value"));
        },
        [&] {
            copy = folder.path() + QStringLiteral("/copy%1.ini").arg(++copies);
            QFile::copy(path, copy);
        });
    {
        QSettings settings(copy, QSettings::IniFormat);
        int n = 0;
        measure(QStringLiteral("Qt's INI writer, one short value + sync"), kRuns, [&] {
            settings.setValue(QStringLiteral("Lumarel/txtLocation"), QString::number(++n));
            settings.sync();
        });
    }

    measure(
        QStringLiteral("store: read one value (file changed on disk)"), kRuns,
        [&] {
            if (SettingsStore::get(QStringLiteral("txtMore")) != lines)
                throw Failure(QStringLiteral("the store read another value"));
        },
        [&] { touch(path, stamp); });
    int n = 0;
    measure(QStringLiteral("store: write one short value"), kRuns,
            [&] { SettingsStore::save(QStringLiteral("txtLocation"), QString::number(++n)); });
    QString changed;
    measure(
        QStringLiteral("store: write the 10 MB value"), kRuns,
        [&] { SettingsStore::save(QStringLiteral("txtMore"), changed); },
        [&] { changed = lines + QString::number(++n); });
    SettingsStore::save(QStringLiteral("txtMore"), QString());
    requireQuiet("the store");

    windowBenchmarks("txtMore", "10 MB in a multi-line box, lines of 80", lines, 3);
    windowBenchmarks("txtMore", "10 MB in a multi-line box, one line", tenMegabytes(0), 1);
    windowBenchmarks("txtOrgName", "10 MB in a single-line box", tenMegabytes(0), 1);
    windowBenchmarks("txtMore", "10 MB in a multi-line box, one unbroken word",
                     QString(kTenMegabytes, QLatin1Char('w')), 1);
}

} // namespace lumarel::bench
