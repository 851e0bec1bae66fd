#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTest>

namespace lumarel::test {

// Gives the test process a world of its own before Qt starts: a fresh folder (from
// LUMAREL_TEST_ROOT, or a new temporary one) with config/ as XDG_CONFIG_HOME, cache/ as
// XDG_CACHE_HOME, tmp/ as TEMP and
// program/ as the program folder; message boxes scripted; the program's end recorded instead
// of performed. The program's own folder inside TEMP is made private at once, so that tests
// may put files there first.
void prepareEnvironment();

QString rootFolder();
QString configFolder();
// The folder TEMP names, and the program's own folder for a run's files inside it.
QString tempVariableFolder();
QString tempFolder();
// The program's own folder inside any TEMP.
QString programTempFolder(const QString& temp);
// The files in the program's temporary folder, hidden ones too.
QStringList tempFiles();
// Removes those files: what a failed test left goes before the next test starts. The folders
// in it (the offices' own, the document claims) are left to their owners.
void removeTempFiles();
QString programFolder();

// Environment variables set for a scope, each given back its earlier value at its end.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const QList<const char*>& names, const QByteArrayList& values);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    QList<const char*> m_names;
    QByteArrayList m_before;
};

// How often the program asked to end, and the last exit code asked for.
int programEnds();
int lastExitCode();
void resetProgramEnds();

} // namespace lumarel::test

#define LUMAREL_TEST_MAIN_WITH(AppClass, TestClass)                                                \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        lumarel::test::prepareEnvironment();                                                       \
        AppClass app(argc, argv);                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

// Tests with widgets.
#define LUMAREL_TEST_MAIN(TestClass) LUMAREL_TEST_MAIN_WITH(QApplication, TestClass)
// Tests without widgets.
#define LUMAREL_TEST_GUILESS_MAIN(TestClass) LUMAREL_TEST_MAIN_WITH(QCoreApplication, TestClass)
