#include "TestEnvironment.h"
#include "TestFiles.h"

#include "app/AppServices.h"
#include "app/Failure.h"
#include "app/WindowLook.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QtEndian>

#include <sys/stat.h>

using namespace lumarel;
using test::cursorFileBytes;
using test::writeFile;

class ServicesTest : public QObject
{
    Q_OBJECT

private slots:
    void fileExists_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("expected");
        const QString root = test::tempFolder() + "/exists";
        writeFile(root + "/file.txt", "x");
        writeFile(root + "/unreadable.txt", "x");
        QFile::setPermissions(root + "/unreadable.txt", QFileDevice::Permissions());
        QTest::newRow("a file") << root + "/file.txt" << true;
        QTest::newRow("a file without read permission") << root + "/unreadable.txt" << true;
        QTest::newRow("a folder") << root << true;
        QTest::newRow("a missing path") << root + "/missing.txt" << false;
        QTest::newRow("below a file") << root + "/file.txt/inner" << false;
        QTest::newRow("the empty text") << QString() << false;
    }

    void fileExists()
    {
        QFETCH(QString, path);
        QFETCH(bool, expected);
        QCOMPARE(FileExists(path), expected);
    }

    void removeFileIsQuietAndThorough()
    {
        const QString root = test::tempFolder() + "/remove";
        RemoveFile(root + "/missing.doc"); // nothing to remove, nothing thrown

        const QString readOnly = writeFile(root + "/readonly.doc", "x");
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner);
        RemoveFile(readOnly);
        QVERIFY(!QFile::exists(readOnly));

        const QString inLockedFolder = writeFile(root + "/locked/file.doc", "x");
        const QString alsoLocked = writeFile(root + "/locked/other.doc", "x");
        QFile::setPermissions(root + "/locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        RemoveFile(inLockedFolder);
        QVERIFY(!QFile::exists(inLockedFolder));

        // The forced delete gives the folder its mode back.
        ForceDeleteFile(alsoLocked);
        QVERIFY(!QFile::exists(alsoLocked));
        struct stat folder;
        QCOMPARE(::stat(QFile::encodeName(root + "/locked").constData(), &folder), 0);
        QCOMPARE(folder.st_mode & 07777, 0500u);

        QDir().mkpath(root + "/folder");
        RemoveFile(root + "/folder"); // a folder is not a file: left alone
        QVERIFY(QFileInfo(root + "/folder").isDir());
    }

    void appTitle_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("a name without a blank is its own title") << "Lumarel"
                                                                 << "Lumarel";
        QTest::newRow("six words of 37 characters lose the last")
            << "Quick Brown Foxes Jump Over Lazy Dogs"
            << "Quick Brown Foxes Jump Over Lazy";
        QTest::newRow("cut until at most 40")
            << "Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota Kappa"
            << "Alpha Beta Gamma Delta Epsilon Zeta Eta";
        QTest::newRow("no blank left after a cut") << QString(45, 'a') + " b" << QString(45, 'a');
    }

    void appTitle()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QCOMPARE(appTitleFor(name), title);
    }

    void cursorFileKeepsItsHotSpot()
    {
        const QString path = writeFile(test::tempFolder() + "/hand.cur", cursorFileBytes(7, 3));
        const QCursor cursor = loadCursorFile(path);
        QCOMPARE(cursor.hotSpot(), QPoint(7, 3));
        QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
    }

    void notACursorFails_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QByteArray("this is not a cursor at all, just words");
        QTest::newRow("empty") << QByteArray();
        QByteArray icon = cursorFileBytes(0, 0);
        qToLittleEndian<quint16>(1, icon.data() + 2);
        QTest::newRow("an icon, not a cursor") << icon;
        QTest::newRow("a cursor header with no image") << cursorFileBytes(1, 1).left(30);
    }

    void notACursorFails()
    {
        QFETCH(QByteArray, bytes);
        const QString path = writeFile(test::tempFolder() + "/bad.cur", bytes);
        QVERIFY_THROWS_EXCEPTION(Failure, loadCursorFile(path));
    }

    void skinColoursTheWindowAndAppliesTheStyleSheet()
    {
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        auto build = [](QWidget& window) {
            auto* frame = new QGroupBox("Event details", &window);
            new QLabel("Event date:", frame);
            new QLineEdit(frame);
        };

        QWidget plain;
        build(plain);
        ApplySkin(&plain); // no skin file beside the program
        QVERIFY(plain.styleSheet().isEmpty());
        QVERIFY(!plain.autoFillBackground());

        writeFile(test::programFolder() + "/x/o.cjs", "QPushButton { color: navy; }");
        QWidget skinned;
        build(skinned);
        ApplySkin(&skinned);
        QFile::remove(test::programFolder() + "/x/o.cjs");
        QCOMPARE(skinned.styleSheet(), QStringLiteral("QPushButton { color: navy; }"));
        QCOMPARE(skinned.palette().color(QPalette::Window), buttonFace);
        QCOMPARE(skinned.findChild<QLabel*>()->palette().color(QPalette::Window), buttonFace);
        QCOMPARE(skinned.findChild<QGroupBox*>()->palette().color(QPalette::Window), buttonFace);
        QVERIFY(!skinned.findChild<QLineEdit*>()->autoFillBackground());
    }

    void optionalFilesAreFoundBesideTheProgramThenInTheDataFolders_data()
    {
        QTest::addColumn<QStringList>("holders");
        QTest::addColumn<QString>("expected");
        const QString root = test::rootFolder();
        const QString program = test::programFolder();
        const QString home = root + "/data/lumarel";
        const QString first = root + "/data-dirs/lumarel";
        const QString second = root + "/second/lumarel";
        QTest::newRow("nowhere gives the path beside the program") << QStringList{} << program;
        QTest::newRow("beside the program wins over every data folder")
            << QStringList{program, home, first} << program;
        QTest::newRow("the user's data folder comes next") << QStringList{home, first} << home;
        QTest::newRow("then the data folders in their order")
            << QStringList{second, first} << first;
        QTest::newRow("a later data folder is still searched") << QStringList{second} << second;
    }

    void optionalFilesAreFoundBesideTheProgramThenInTheDataFolders()
    {
        QFETCH(QStringList, holders);
        QFETCH(QString, expected);
        const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS", dataDirs + ":relative/ignored:" +
                                     QFile::encodeName(test::rootFolder() + "/second"));
        for (const QString& folder : holders)
            writeFile(folder + kHandCursorFile, "cursor");
        const QString found = optionalFile(kHandCursorFile);
        for (const QString& folder : holders)
            QFile::remove(folder + kHandCursorFile);
        qputenv("XDG_DATA_DIRS", dataDirs);
        QCOMPARE(found, expected + kHandCursorFile);
    }

    void useSystemColorsTakesTheButtonFace()
    {
        QWidget window;
        auto* label = new QLabel("Zoom:", &window);
        auto* edit = new QLineEdit(&window);
        const QColor before = edit->palette().color(QPalette::Window);
        UseSystemColors(&window);
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QCOMPARE(window.palette().color(QPalette::Window), buttonFace);
        QCOMPARE(label->palette().color(QPalette::Window), buttonFace);
        QCOMPARE(edit->palette().color(QPalette::Window), before);
    }
};

LUMAREL_TEST_MAIN(ServicesTest)
#include "tst_services.moc"
