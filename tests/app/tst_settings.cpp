#include "TestEnvironment.h"
#include "TestFiles.h"

#include "app/Failure.h"
#include "app/IniFile.h"
#include "app/SettingsStore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>

#include <sys/stat.h>
#include <unistd.h>

using namespace lumarel;

namespace {

// QSettings' own reading of an INI file, from a copy of its own so that no cache answers.
std::optional<QString> qtRead(const QString& path, const QString& key)
{
    static int copies = 0;
    const QString copy = test::tempFolder() + QStringLiteral("/qt-read%1.ini").arg(++copies);
    QFile::copy(path, copy);
    const QVariant value = QSettings(copy, QSettings::IniFormat).value(key);
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(", ");
    return value.toString();
}

QString writeTemp(const QByteArray& bytes)
{
    static int files = 0;
    const QString path = test::tempFolder() + QStringLiteral("/hand%1.ini").arg(++files);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void storeLivesInTheIsolatedConfigFolder()
    {
        QCOMPARE(SettingsStore::filePath(), test::configFolder() + "/Quenwick.ini");
    }

    void valuesRoundTripExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain text") << QStringLiteral("Brantwell MA");
        QTest::newRow("CR LF line breaks")
            << QStringLiteral("9th Annual\r\nTaco Eating Contest\r\n");
        QTest::newRow("lone CR and LF") << QStringLiteral("a\rb\nc");
        QTest::newRow("commas and quotes") << QStringLiteral("Tacos, beans, \"salsa\"; = [x]");
        QTest::newRow("leading at sign") << QStringLiteral("@Variant(nothing)");
        QTest::newRow("backslashes and spaces") << QStringLiteral("  C:\\path\\ \t end  ");
        QTest::newRow("accents and CJK") << QStringLiteral("Café Müller – 東京");
        QTest::newRow("astral plane")
            << QString::fromUtf8("Party \xF0\x9F\x8C\xAE\xF0\x9D\x84\x9E");
        QTest::newRow("empty") << QString();
        QTest::newRow("100 000 characters")
            << QString(100000, QLatin1Char('x')).replace(500, 2, "\r\n");
        QTest::newRow("NUL before hex digits") << QStringLiteral("a") + QChar(0) +
                                                      QStringLiteral("7f\x01"
                                                                     "b\x7f");
        QTest::newRow("control characters") << QStringLiteral("\a\b\f\v\x1b[0m\x1f");
        QTest::newRow("spaces and tabs at the ends") << QStringLiteral(" \t x \t ");
        QTest::newRow("the marker QSettings wraps NULs in") << QStringLiteral("@String(x)");
        QTest::newRow("a leading byte order mark") << QChar(0xFEFF) + QStringLiteral("BOM");
        QTest::newRow("a byte order mark after an escape") << QStringLiteral("\t") + QChar(0xFEFF);
        QTest::newRow("a semicolon alone") << QStringLiteral(";");
    }

    // The store and Qt's own INI reader and writer read each other's files alike.
    void valuesRoundTripExactly()
    {
        QFETCH(QString, value);
        SettingsStore::save("txtMore", value);
        QCOMPARE(SettingsStore::get("txtMore", "missing"), value);
        QCOMPARE(qtRead(SettingsStore::filePath(), "Lumarel/txtMore"), value);

        const QString qtFile = writeTemp("[Lumarel]\ntxtPlans=old\n");
        QSettings(qtFile, QSettings::IniFormat).setValue("Lumarel/txtPlans", value);
        QFile::remove(SettingsStore::filePath());
        QVERIFY(QFile::copy(qtFile, SettingsStore::filePath()));
        QCOMPARE(SettingsStore::get("txtPlans"), qtRead(qtFile, "Lumarel/txtPlans"));
    }

    void handWrittenFilesReadAsQtReadsThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("complete");
        const auto row = [](const char* name, const QByteArray& bytes, bool complete = true) {
            QTest::newRow(name) << bytes << complete;
        };
        row("comments and blanks", "; note\n[Lumarel]\n  txtOrgName = Good  ; why\n\n");
        row("CR LF and a byte order mark", "\xEF\xBB\xBF[Lumarel]\r\na=1\r\nb = \"2 \" \r\n");
        row("quoted commas, equals and semicolons", "[Lumarel]\na=\"x, y = z; w\"\n");
        row("a list", "[Lumarel]\na=x , y,z\nb=\"x\",\" y\"\n");
        row("escapes", "[Lumarel]\na=\\x41\\102\\tC\\\\ \\\"\\?\\q\\x\nb=x \\\nc=y\\0\n");
        row("a line continued", "[Lumarel]\na=one\\\ntwo\nb=\"three\nfour\"\n");
        row("an open quote at the end", "[Lumarel]\na=\"open ");
        row("a key and a group twice", "[Lumarel]\na=1\n[Other]\nb=2\n[Lumarel]\na=3\n");
        row("QSettings markers", "[Lumarel]\na=@@x\nb=@String(y)\nc=@Invalid()\nd=@ByteArray(z)\n");
        row("escaped keys and groups", "[General]\nk=1\n[%General]\nk=2\n[a%20b]\nc\\d%U00e9=3\n");
        row("a group without its bracket", "[Lumarel]\ntxtOrgName=Good\n[broken\nfoo\n", false);
        row("a line without equals", "[Lumarel]\ntxtOrgName=Good\nfoo\ntxtLocation=Addr\n", false);
        row("bytes that are not UTF-8", "[Lumarel]\ntxtOrgName=caf\xE9\n", false);
    }

    // Every key Qt sees has the same text, also after the file is written again.
    void handWrittenFilesReadAsQtReadsThem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, complete);
        const QString path = writeTemp(bytes);
        const IniFile file = IniFile::parse(bytes);
        QCOMPARE(file.problem().isEmpty(), complete);

        QBuffer written;
        written.open(QIODevice::WriteOnly);
        QVERIFY(file.writeTo(written));
        const QString rewritten = writeTemp(written.data());

        const QStringList keys = QSettings(path, QSettings::IniFormat).allKeys();
        QVERIFY(!keys.isEmpty());
        for (const QString& key : keys) {
            const qsizetype slash = key.indexOf('/');
            const std::optional<QString> ours =
                file.value(slash < 0 ? QString() : key.left(slash), key.mid(slash + 1));
            QCOMPARE(ours, qtRead(path, key));
            QCOMPARE(qtRead(rewritten, key), ours);
        }
        QCOMPARE(QSettings(rewritten, QSettings::IniFormat).allKeys(), keys);
    }

    void aStoreThatCannotBeReadIsNeverWritten_data()
    {
        QTest::addColumn<QString>("kind"); // what stands where the file should be
        QTest::addColumn<QString>("said");
        QTest::newRow("a folder") << "folder"
                                  << "it is a folder";
        QTest::newRow("a named pipe, which no writer opens") << "fifo"
                                                             << "it is a named pipe";
        QTest::newRow("a link to an endless device") << "zero"
                                                     << "it is a device";
        QTest::newRow("a file larger than any store") << "huge"
                                                      << "it is larger than";
    }

    void aStoreThatCannotBeReadIsNeverWritten()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        const QString path = SettingsStore::filePath();
        const QByteArray native = QFile::encodeName(path);
        const auto remove = qScopeGuard([&] {
            QDir(path).removeRecursively();
            QFile::remove(path);
        });
        QFile::remove(path);
        if (kind == "folder")
            QVERIFY(QDir().mkpath(path + "/inside"));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        else if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        else
            test::writeFile(path, "[Lumarel]\na=1\n");
        QCOMPARE(kind == "huge" ? ::truncate(native.constData(), qint64(1) << 30) : 0, 0);
        struct stat before = {}, after = {};
        ::lstat(native.constData(), &before);

        const QString problem = SettingsStore::readProblem();
        QVERIFY2(problem.contains(said) && SettingsStore::refusesWrites(), qPrintable(problem));
        QCOMPARE(SettingsStore::get("a", "none"), QStringLiteral("none"));
        QVERIFY_THROWS_EXCEPTION(Failure, SettingsStore::save("a", QString()));
        ::lstat(native.constData(), &after);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_size, before.st_size);
    }

    void emptyTextIsStoredNotRemoved()
    {
        SettingsStore::save("txtItems", "something");
        SettingsStore::save("txtItems", QString());
        QCOMPARE(SettingsStore::get("txtItems", "missing"), QString());
    }

    void everyWriteIsOnDiskAtOnce()
    {
        SettingsStore::save("txtLocation", "abc");
        QFile file(SettingsStore::filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.contains("[Lumarel]"));
        QVERIFY(content.contains("txtLocation=abc"));
    }

    void missingKeyGivesItsDefault()
    {
        QCOMPARE(SettingsStore::get("neverWritten"), QString());
        QCOMPARE(SettingsStore::get("neverWritten", "fallback"), QStringLiteral("fallback"));
    }

    void datesRoundTripWithoutTheLocale_data()
    {
        QTest::addColumn<QDateTime>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight stores the date alone")
            << QDateTime(QDate(2087, 3, 1), QTime(0, 0)) << "2087-03-01";
        QTest::newRow("a time of day is appended")
            << QDateTime(QDate(2026, 12, 8), QTime(15, 5, 9)) << "2026-12-08 15:05:09";
        QTest::newRow("earliest picker date")
            << QDateTime(QDate(1601, 1, 1), QTime(0, 0)) << "1601-01-01";
        QTest::newRow("latest picker date")
            << QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)) << "9999-12-31 23:59:59";
    }

    void datesRoundTripWithoutTheLocale()
    {
        QFETCH(QDateTime, value);
        QFETCH(QString, text);
        QCOMPARE(SettingsStore::dateToText(value), text);
        QCOMPARE(SettingsStore::textToDate(text), value);
    }

    void textThatIsNotADateFails_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("words") << "next Friday";
        QTest::newRow("locale short date") << "15/01/27";
        QTest::newRow("impossible day") << "2027-02-30";
        QTest::newRow("trailing junk") << "2027-01-15x";
    }

    void textThatIsNotADateFails()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(Failure, SettingsStore::textToDate(text));
    }
};

LUMAREL_TEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
