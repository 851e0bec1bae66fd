#include "TestEnvironment.h"

#include "app/AppServices.h"
#include "app/Dialogs.h"
#include "app/ProgramEnd.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarel::test {

namespace {

struct State
{
    QString root;
    int ends = 0;
    int exitCode = -1;
    std::unique_ptr<QTemporaryDir> ownRoot;
};

State& state()
{
    static State s;
    return s;
}

} // namespace

void prepareEnvironment()
{
    State& s = state();
    s.root = QString::fromLocal8Bit(qgetenv("LUMAREL_TEST_ROOT"));
    if (s.root.isEmpty()) {
        s.ownRoot = std::make_unique<QTemporaryDir>();
        s.root = s.ownRoot->path();
    }
    QDir(s.root).removeRecursively();
    for (const char* sub : {"config", "cache", "tmp", "program", "data", "data-dirs"})
        QDir().mkpath(s.root + QLatin1Char('/') + QLatin1String(sub));
    ::mkdir(QFile::encodeName(tempFolder()).constData(), 0700);
    // The window program's socket and lock go there, not into the machine's /tmp.
    ::mkdir(QFile::encodeName(s.root + QStringLiteral("/run")).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(s.root + QStringLiteral("/run")));

    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(s.root + QStringLiteral("/cache")));
    qputenv("TEMP", QFile::encodeName(tempVariableFolder()));
    // Optional files the developer keeps for the installed program stay out of the tests; the
    // system's folders stay listed for the mime and icon data.
    qputenv("XDG_DATA_HOME", QFile::encodeName(s.root + QStringLiteral("/data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(s.root + QStringLiteral("/data-dirs")) +
                                 ":/usr/local/share:/usr/share");
    // The built-in designs on Letter, whatever paper the machine's owner uses.
    qunsetenv("LC_PAPER");
    qputenv("PAPERSIZE", "letter");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    Dialogs::setScripted(true);
    setProgramFolderForTests(programFolder());
    setProgramEndForTests([](int code) {
        ++state().ends;
        state().exitCode = code;
    });
}

QString rootFolder()
{
    return state().root;
}

QString configFolder()
{
    return state().root + QStringLiteral("/config");
}

QString tempVariableFolder()
{
    return state().root + QStringLiteral("/tmp");
}

QString tempFolder()
{
    return programTempFolder(tempVariableFolder());
}

QString programTempFolder(const QString& temp)
{
    return temp + QStringLiteral("/lumarel-") + QString::number(::getuid());
}

ScopedEnvironment::ScopedEnvironment(const QList<const char*>& names, const QByteArrayList& values)
    : m_names(names)
{
    for (qsizetype i = 0; i < names.size(); ++i) {
        m_before << qgetenv(names[i]);
        qputenv(names[i], values.value(i));
    }
}

ScopedEnvironment::~ScopedEnvironment()
{
    for (qsizetype i = 0; i < m_names.size(); ++i)
        qputenv(m_names[i], m_before[i]);
}

QStringList tempFiles()
{
    return QDir(tempFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

void removeTempFiles()
{
    const QDir folder(tempFolder());
    for (const QString& name : tempFiles())
        QFile::remove(folder.filePath(name));
}

QString programFolder()
{
    return state().root + QStringLiteral("/program");
}

int programEnds()
{
    return state().ends;
}

int lastExitCode()
{
    return state().exitCode;
}

void resetProgramEnds()
{
    state().ends = 0;
    state().exitCode = -1;
}

} // namespace lumarel::test
