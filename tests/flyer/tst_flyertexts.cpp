#include "TestEnvironment.h"
#include "TestFiles.h"

#include "DocumentReading.h"
#include "app/Failure.h"
#include "app/TempFolder.h"
#include "flyer/BookmarkTexts.h"
#include "flyer/FontCoverage.h"
#include "office/OfficeEngine.h"
#include "runfiles/DocumentClaim.h"
#include "runfiles/DocumentName.h"
#include "runfiles/FileBeside.h"
#include "word97/WordText.h"
#include "wordimport/WordImportRepair.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumarel;

class FlyerTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void singleTexts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("org name gets one leading space") << orgNameText("Quenwick") << " Quenwick";
        QTest::newRow("blank org name gets the default")
            << orgNameText("") << " Your Organisation's Name";
        QTest::newRow("org name of spaces gets the default")
            << orgNameText("   ") << " Your Organisation's Name";
        QTest::newRow("padded org name keeps its spaces") << orgNameText("  Q  ") << "   Q  ";
        QTest::newRow("event name as typed, no spaces added")
            << eventNameText("9th Annual\r\nTaco Eating Contest")
            << "9th Annual\r\nTaco Eating Contest";
        QTest::newRow("blank event name gets the default")
            << eventNameText("") << "Name of Your Event";
        QTest::newRow("event name of spaces gets the default")
            << eventNameText("    ") << "Name of Your Event";
        QTest::newRow("event name made of a line break is not blank")
            << eventNameText("\r\n") << "\r\n";
        QTest::newRow("address gets one leading space")
            << eventAddrText("Brantwell MA") << " Brantwell MA";
        QTest::newRow("empty address is one space") << eventAddrText("") << " ";
        QTest::newRow("date has one space before and two after")
            << eventDateText(QDate(2027, 1, 15)) << " Friday, January 15th, 2027  ";
        QTest::newRow("time as prose, nothing added") << eventTimeText(QTime(15, 5)) << "3:05 PM";
    }

    void singleTexts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    void eventMore_data()
    {
        QTest::addColumn<QStringList>("fields"); // more, infoOrg, plans, items
        QTest::addColumn<QString>("expected");
        QTest::newRow("all four empty") << QStringList{"", "", "", ""} << "";
        QTest::newRow("only items") << QStringList{"", "", "", "Bag"} << "Bag";
        QTest::newRow("only more is followed by a line break")
            << QStringList{"More", "", "", ""} << "More\r\n";
        QTest::newRow("all four joined") << QStringList{"M", "I", "P", "B"} << "M\r\nI\r\nP\r\nB";
        QTest::newRow("spaces only get no line break")
            << QStringList{"  ", "I", " ", "B"} << "  I\r\n B";
        QTest::newRow("items of spaces are kept as typed")
            << QStringList{"", "", "", "   "} << "   ";
        QTest::newRow("multi-line texts keep their breaks")
            << QStringList{"a\r\nb", "", "c", ""} << "a\r\nb\r\nc\r\n";
    }

    void eventMore()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, expected);
        QCOMPARE(eventMoreText(fields[0], fields[1], fields[2], fields[3]), expected);
    }

    void charactersNoFontDraws_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("undrawable");
        QTest::newRow("every script the fonts bring is drawn")
            << QString::fromUtf8("Café Ωμέγα Привет שלום مرحبا 中文 かな 한국어 😀 ☕") << "";
        QTest::newRow("joiners, selectors and breaks draw nothing of their own")
            << QString::fromUtf8("👍\u200D\uFE0F\u200F a\tb\r\n") << "";
        QTest::newRow("unassigned and private characters, each named once")
            << QString::fromUtf8("a\u0378b\U0010FFFD\u0378")
            << QString::fromUtf8("\u0378\U0010FFFD");
    }

    void charactersNoFontDraws()
    {
        QFETCH(QString, text);
        QFETCH(QString, undrawable);
        QCOMPARE(undrawableCharacters(text), undrawable);
        FlyerFields fields;
        fields.plans = text;
        QCOMPARE(undrawableCharacterNotices(fields).join('|'),
                 undrawable.isEmpty() ? QString()
                                      : QString("\"Plans you are making for the event\" holds "
                                                "characters that no installed font can draw; the "
                                                "flyer shows them as empty boxes: \u0378 "
                                                "(U+0378), \U0010FFFD (U+10FFFD)."));
    }

    void controlCharactersNeverWipeAText()
    {
        // Each bookmark's text, and what the saved document holds of it (paragraphs joined by
        // '|', line breaks as LF).
        const QList<std::array<QString, 3>> table = {
            {"OrgName", "OrgName:a\az:end", "OrgName:az:end"},
            {"EventName", "Field\x13 marks\x14 typed\x15", "Field marks typed"},
            {"EventDate", "tab\tand\x01\x02\x08\x0E\x1Fsoft", "tab\tandsoft"},
            {"EventTime", "one\vtwo", "one\ntwo"},
            {"EventAddr", QString("page\fbreak") + QChar(0xFFFE) + QChar(0xFFFF) + "end",
             "page|breakend"},
            {"EventMore", "x\t\n\v\f\r\x0Ey", "x\t\n\n|\ny"},
        };
        const QString templatePath = test::tempFolder() + "/controls.dot";
        QFile::remove(templatePath);
        QVERIFY(QFile(":/template.dot").copy(templatePath));
        const QString saved = test::tempFolder() + "/controls.doc";
        QString readBack;
        try {
            OfficeEngine office;
            office.open(templatePath, true);
            repairWordImport(office, templatePath);
            for (const auto& [bookmark, typed, expected] : table)
                office.setBookmarkText(bookmark, typed);
            office.saveAs(saved);
            office.closeWithoutSaving();
            office.open(saved, true);
            readBack = test::paragraphs(office).join('|');
            for (const QStringList& box : test::textBoxParagraphs(office))
                readBack += '|' + box.join('|');
            office.quit();
        } catch (const Failure& failure) {
            QFAIL(qPrintable(failure.description()));
        }
        for (const auto& [bookmark, typed, expected] : table)
            QVERIFY2(readBack.contains(expected), qPrintable(bookmark + ": " + readBack));
        // Word's own text of the file: line and paragraph breaks as Word's marks, and no field
        // or cell marks that nobody typed.
        const QString text = readWordMainText(saved);
        QVERIFY(text.contains("one\x0Btwo") && text.contains("page\rbreakend"));
        for (const char16_t mark : {u'\x07', u'\x13', u'\x14', u'\x15'})
            QVERIFY(!text.contains(QChar(mark)));
    }

    void documentNamesFollowThePattern()
    {
        DocumentNamer namer;
        const QRegularExpression pattern(QStringLiteral("^qtemar[1-9]{8}\\.doc$"));
        QSet<QString> seen;
        for (int i = 0; i < 500; ++i) {
            const QString name = namer.drawName();
            QVERIFY2(pattern.match(name).hasMatch(), qPrintable(name));
            seen.insert(name);
        }
        QVERIFY(seen.size() > 490); // a proper generator, not the same few names
    }

    void takenNameIsDrawnAgain()
    {
        const QString folder = test::tempFolder() + "/names";
        QDir().mkpath(folder);
        const QString firstName = DocumentNamer(42).drawName();
        QFile taken(folder + "/" + firstName);
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.close();

        const QString path = DocumentNamer(42).freePath(folder);
        QCOMPARE(QFileInfo(path).absolutePath(), folder);
        QVERIFY(QFileInfo(path).fileName() != firstName);
        QVERIFY(!QFile::exists(path));
    }

    void aStartRemovesOnlyTheDocumentsNoRunningProgramClaims()
    {
        const QString folder = test::tempFolder() + "/claims";
        const QStringList names{"notes.doc", "qtemar11111111.doc", "qtemar22222222.doc",
                                "qtemar33333333.doc"};
        for (const QString& name : names)
            test::writeFile(folder + "/" + name, "document");
        const DocumentClaim live(folder + "/" + names[1]);
        // A program killed with its preview open leaves its claim behind.
        const pid_t killed = fork();
        if (killed == 0) {
            DocumentClaim claim(folder + "/" + names[2]);
            _exit(0);
        }
        waitpid(killed, nullptr, 0);
        removeAbandonedDocuments(folder);
        QCOMPARE(QDir(folder).entryList(QDir::Files), names.mid(0, 2));
        QCOMPARE(QDir(folder + "/.lumarel-claims").entryList(QDir::Files),
                 QStringList{names[1] + ".lock"});
    }

    // A run's files go into a folder of the user's own inside TEMP, or inside the system's
    // temporary folder without it; whatever another user could have made there is refused
    // and left as it is.
    void runFilesGoIntoAPrivateFolderOfTheUsersOwn_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<int>("tempMode"); // -1: no such folder
        QTest::addColumn<QString>("inPlace");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("a TEMP shared like /tmp gets a private folder inside")
            << QByteArray("TEMP") << 01777 << ""
            << "";
        QTest::newRow("the system's temporary folder gets one too")
            << QByteArray("TMPDIR") << 01777 << ""
            << "";
        QTest::newRow("a TEMP naming nothing is said to be the fault")
            << QByteArray("TEMP") << -1 << ""
            << "TEMP names for temporary files, does not exist";
        QTest::newRow("a TEMP others may write without the sticky bit is refused")
            << QByteArray("TEMP") << 0777 << ""
            << "lets other users replace the files";
        QTest::newRow("a TEMP of another user is refused")
            << QByteArray("TEMP") << 0755 << "TEMP of another"
            << "lets other users replace";
        QTest::newRow("an own folder opened to others is refused, not closed")
            << QByteArray("TEMP") << 01777 << "open folder"
            << "is open to other users";
        QTest::newRow("another user's folder in its place is refused")
            << QByteArray("TEMP") << 01777 << "folder of another"
            << "is not a folder of your own";
        QTest::newRow("a link in its place is refused, never followed")
            << QByteArray("TMPDIR") << 01777 << "link"
            << "is not a folder of your own";
    }

    void runFilesGoIntoAPrivateFolderOfTheUsersOwn()
    {
        QFETCH(QByteArray, variable);
        QFETCH(int, tempMode);
        QFETCH(QString, inPlace);
        QFETCH(QString, refusal);
        if (inPlace.endsWith("of another") && ::geteuid() != 0)
            QSKIP("Only root can make a folder of another user here.");
        const QString temp = test::rootFolder() + "/shared";
        const QString own = test::programTempFolder(temp);
        const QByteArray savedTemp = qgetenv("TEMP");
        const auto restore = qScopeGuard([&] {
            qputenv("TEMP", savedTemp);
            qunsetenv("TMPDIR");
            QDir(temp).removeRecursively();
        });
        if (tempMode >= 0)
            QVERIFY(QDir().mkpath(temp) && ::chmod(QFile::encodeName(temp), tempMode) == 0);
        const QByteArray ownPath = QFile::encodeName(own);
        if (inPlace == "open folder" || inPlace == "folder of another")
            QVERIFY(::mkdir(ownPath, 0700) == 0 &&
                    ::chmod(ownPath, inPlace == "open folder" ? 0777 : 0700) == 0);
        if (inPlace.endsWith("of another"))
            QVERIFY(::chown(inPlace == "TEMP of another" ? QFile::encodeName(temp) : ownPath, 65534,
                            65534) == 0);
        if (inPlace == "link")
            QVERIFY(QDir().mkpath(temp + "/elsewhere") && QFile::link(temp + "/elsewhere", own));
        struct stat before = {}, after = {};
        ::lstat(ownPath, &before);
        qunsetenv("TEMP");
        qputenv(variable, QFile::encodeName(temp));

        QString folder, said;
        try {
            folder = flyerTempFolder();
        } catch (const Failure& failure) {
            said = failure.description();
        }
        ::lstat(ownPath, &after);
        if (!refusal.isEmpty()) {
            const QString named = inPlace.isEmpty() || inPlace.startsWith("TEMP") ? temp : own;
            QVERIFY2(said.contains(refusal) && said.contains(named), qPrintable(said));
            QVERIFY(before.st_mode == after.st_mode && before.st_uid == after.st_uid);
            return;
        }
        QCOMPARE(folder, own);
        QVERIFY(S_ISDIR(after.st_mode) && after.st_uid == ::getuid());
        QCOMPARE(after.st_mode & 07777, 0700u);
    }

    void newFilesNeverFollowAPlantedLink()
    {
        const QString folder = test::tempFolder() + "/planted";
        QDir().mkpath(folder);
        const QString victim = folder + "/victim.txt";
        QFile original(victim);
        QVERIFY(original.open(QIODevice::WriteOnly));
        original.write("keep me");
        original.close();

        QVERIFY(QFile::link(victim, folder + "/template.dot"));
        QVERIFY_THROWS_EXCEPTION(Failure, SaveBytesToFile("evil", folder + "/template.dot"));

        QVERIFY(QFile::link(victim, folder + "/temp.bmp"));
        replaceFile("picture", folder + "/temp.bmp");
        QVERIFY(!QFileInfo(folder + "/temp.bmp").isSymLink());

        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(original.readAll(), QByteArray("keep me"));
        QFile replaced(folder + "/temp.bmp");
        QVERIFY(replaced.open(QIODevice::ReadOnly));
        QCOMPARE(replaced.readAll(), QByteArray("picture"));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3); // no stray temporary file
    }

    void saveBytesWritesEveryByte()
    {
        QByteArray bytes(300000, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7);
        const QString path = test::tempFolder() + "/bytes.bin";
        SaveBytesToFile(bytes, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        QVERIFY_THROWS_EXCEPTION(Failure, SaveBytesToFile(bytes, path));
        QVERIFY_THROWS_EXCEPTION(Failure,
                                 SaveBytesToFile(bytes, test::tempFolder() + "/no/such/dir/x"));
    }

    void fileBesideTakesTheTargetsPlaceOnlyWhenAllowedAndWritten_data()
    {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QByteArray>("existing"); // empty: no target yet
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("replaces") << QByteArray("new") << true << QByteArray("old") << QString()
                                  << QByteArray("new");
        QTest::newRow("keeps") << QByteArray("new") << false << QByteArray("old")
                               << "already exists" << QByteArray("old");
        QTest::newRow("new target")
            << QByteArray("new") << false << QByteArray() << QString() << QByteArray("new");
        QTest::newRow("empty") << QByteArray() << true << QByteArray("old") << "Nothing was written"
                               << QByteArray("old");
    }
    void fileBesideTakesTheTargetsPlaceOnlyWhenAllowedAndWritten()
    {
        QFETCH(QByteArray, written);
        QFETCH(bool, replace);
        QFETCH(QByteArray, existing);
        QFETCH(QString, failure);
        const QString folder = test::tempFolder() + "/beside-" + QTest::currentDataTag();
        QVERIFY(QDir().mkpath(folder));
        QFile target(folder + "/flyer.pdf");
        if (!existing.isEmpty())
            QVERIFY(target.open(QIODevice::WriteOnly) && target.write(existing) > 0);
        target.close();
        QString reason;
        try {
            FileBeside file(target.fileName());
            QFile part(file.path());
            QVERIFY(part.open(QIODevice::WriteOnly) && part.write(written) == written.size());
            part.close();
            file.commit(replace);
        } catch (const Failure& refusal) {
            reason = refusal.description();
        }
        QVERIFY2(failure.isEmpty() ? reason.isEmpty() : reason.contains(failure),
                 qPrintable(reason));
        QVERIFY(target.open(QIODevice::ReadOnly));
        QTEST(target.readAll(), "target");
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"flyer.pdf"});
    }
};

LUMAREL_TEST_GUILESS_MAIN(FlyerTextsTest)
#include "tst_flyertexts.moc"
