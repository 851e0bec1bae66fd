#include "TestEnvironment.h"
#include "TestFiles.h"

#include "app/AppServices.h"
#include "app/DialogBoxes.h"
#include "app/Dialogs.h"
#include "app/SettingsStore.h"
#include "app/Translations.h"
#include "app/Twips.h"
#include "details/Form1.h"
#include "details/Form1Layout.h"

#include <QAccessible>
#include <QAction>
#include <QCalendarWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>

#include <sys/stat.h>

#include <memory>

using namespace lumarel;

namespace {

const QString kEventName = QStringLiteral("9th Annual\r\nTaco Eating Contest");

void clearStore()
{
    const QString path = SettingsStore::filePath();
    QDir(path).removeRecursively();
    QFile::remove(path);
}

// The store file's inode and content: a write replaces the file, so even a write of the same
// content changes the stamp.
QByteArray storeStamp()
{
    QFile file(SettingsStore::filePath());
    if (!file.open(QIODevice::ReadOnly))
        return "missing";
    struct stat info = {};
    ::stat(QFile::encodeName(file.fileName()).constData(), &info);
    return QByteArray::number(qulonglong(info.st_ino)) + '\n' + file.readAll();
}

// Starts the program's window as the program does, without the office check.
std::unique_ptr<Form1> startWindow()
{
    auto form = std::make_unique<Form1>();
    form->Form_Load(Form1::EngineCheck::Skip);
    return form;
}

template <class T> T* control(Form1& form, const char* name)
{
    T* widget = form.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QString storedTexts()
{
    QStringList texts;
    for (const FieldSpec& field : eventFields())
        texts << SettingsStore::get(QLatin1String(field.name), "<missing>");
    return texts.join('|');
}

EventRecord sampleRecord(const EventRecord& pickers)
{
    EventRecord record = pickers;
    record.txtOrgName = "Quenwick";
    record.txtEventName = kEventName;
    record.txtLocation = "Brantwell MA";
    record.txtMore = "The first 20 people to sign up will have five minutes to eat as many ground "
                     "beef tacos as their stomachs can handle.";
    record.txtInfoOrg = "Please contact us at 555-014-2287 for more information";
    record.txtPlans = "None";
    record.txtItems = "Throw-up bag";
    return record;
}

void storePickers()
{
    SettingsStore::save("dtpEventDate", "2027-01-15");
    SettingsStore::save("dtpTime", "2025-03-14 15:05:09");
}

// The earliest value a picker can show when it starts with nothing stored.
QDateTime form1Pickers()
{
    return QDateTime(QDate::currentDate(), QTime(0, 0));
}

const QDateTime kStoredDate(QDate(2027, 1, 15), QTime(0, 0));
const QDateTime kStoredTime(QDate(2025, 3, 14), QTime(15, 5, 9));

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clearStore();
        QFile::remove(test::programFolder() + kHandCursorFile);
        QFile::remove(test::programFolder() + kSkinFile);
        Dialogs::takeShown();
    }

    void eachFieldsLayoutFitsItsKind()
    {
        for (const FieldSpec& field : eventFields()) {
            const FieldLayout& look = fieldLayout(field);
            QCOMPARE(look.tabIndex, int(&field - eventFields().data()));
            QCOMPARE(field.sample == nullptr, field.isPicker());
            QCOMPARE(look.resetStep == 0, field.isPicker());
        }
    }

    void typingStoresTheWholeTextAtEachKey()
    {
        auto form = startWindow();
        auto* location = control<QLineEdit>(*form, "txtLocation");
        location->setFocus();
        const QStringList expected{"a", "ab", "abc"};
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(location, char('a' + i));
            QCOMPARE(SettingsStore::get("txtLocation"), expected[i]);
        }

        auto* name = control<QPlainTextEdit>(*form, "txtEventName");
        name->setFocus();
        QTest::keyClicks(name, "9th Annual");
        QTest::keyClick(name, Qt::Key_Return);
        QTest::keyClicks(name, "Taco Eating Contest");
        QCOMPARE(SettingsStore::get("txtEventName"), kEventName);
        QCOMPARE(form->record().txtEventName, kEventName);
        QVERIFY(Dialogs::takeShown().isEmpty());
    }

    void firstStartShowsTodayNowAndEmptyBoxes()
    {
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        auto form = startWindow();
        const QDateTime after = QDateTime::currentDateTime();
        const EventRecord record = form->record();
        QCOMPARE(record.dtpEventDate, QDateTime(QDate::currentDate(), QTime(0, 0)));
        QVERIFY(record.dtpTime >= before && record.dtpTime <= after);
        EventRecord empty;
        empty.dtpEventDate = record.dtpEventDate;
        empty.dtpTime = record.dtpTime;
        QCOMPARE(record, empty);
        QVERIFY(form->isVisible());
        QVERIFY(Dialogs::takeShown().isEmpty());
    }

    void sampleDataSurvivesARestart()
    {
        storePickers();
        auto form = startWindow();
        form->PushButton3_Click();
        form.reset();

        form = startWindow();
        const EventRecord record = form->record();
        QCOMPARE(record.dtpEventDate, kStoredDate);
        QCOMPARE(record.dtpTime, kStoredTime);
        QCOMPARE(record, sampleRecord(record));
        auto* name = control<QPlainTextEdit>(*form, "txtEventName");
        QCOMPARE(name->blockCount(), 2);
        QCOMPARE(name->document()->findBlockByNumber(1).text(),
                 QStringLiteral("Taco Eating Contest"));
        QCOMPARE(SettingsStore::get("dtpEventDate"), QStringLiteral("2027-01-15"));
        QVERIFY(Dialogs::takeShown().isEmpty());
    }

    void sampleTwiceEqualsSampleOnce()
    {
        auto form = startWindow();
        form->PushButton3_Click();
        const EventRecord once = form->record();
        const QByteArray stamp = storeStamp();
        form->PushButton3_Click();
        QCOMPARE(form->record(), once);
        QCOMPARE(storeStamp(), stamp);
    }

    void clearOnAnEmptyWindowWritesNothingAndShowsNothing()
    {
        auto form = startWindow();
        const EventRecord before = form->record();
        const QByteArray stamp = storeStamp();
        form->PushButton2_Click();
        QCOMPARE(storeStamp(), stamp);
        QCOMPARE(form->record(), before);
        QVERIFY(Dialogs::takeShown().isEmpty());
    }

    void clearEmptiesTheTextsAndLeavesThePickers()
    {
        storePickers();
        auto form = startWindow();
        form->PushButton3_Click();
        form->PushButton2_Click();
        form.reset();

        form = startWindow();
        EventRecord expected;
        expected.dtpEventDate = kStoredDate;
        expected.dtpTime = kStoredTime;
        QCOMPARE(form->record(), expected);
        QCOMPARE(storedTexts(), QStringLiteral("2027-01-15|2025-03-14 15:05:09|||||||"));
    }

    void aStoredTextThatIsNotADateFailsStep128Only()
    {
        auto form = std::make_unique<Form1>();
        const QDateTime shownBefore = form->record().dtpEventDate;
        SettingsStore::save("dtpEventDate", "next Friday");
        SettingsStore::save("dtpTime", "2025-03-14 15:05:09");
        const EventRecord sample = sampleRecord(EventRecord());
        for (const FieldSpec& field : eventFields()) {
            if (!field.isPicker())
                SettingsStore::save(QLatin1String(field.name), sample.*field.text);
        }
        form->Form_Load(Form1::EngineCheck::Skip);

        const QList<ShownMessage> shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, QStringLiteral("Application Error"));
        QVERIFY2(
            shown[0].text.contains("\r\nin Ostrevan2021/08/31.Form1.Form_Load at line 128\r\r"),
            qPrintable(shown[0].text));
        const EventRecord record = form->record();
        QCOMPARE(record.dtpEventDate, shownBefore);
        QCOMPARE(record.dtpTime, kStoredTime);
        QCOMPARE(record, sampleRecord(record));
        QCOMPARE(SettingsStore::get("dtpEventDate"), QStringLiteral("next Friday"));
        QVERIFY(form->isVisible());
    }

    // The office is not asked for such a flyer, and the text stays in its box and the store.
    void aTextLongerThanAFlyerShowsIsRefusedAndKept()
    {
        const QString text = QString("word ").repeated(kMaxFlyerText / 5 + 1);
        SettingsStore::save("txtPlans", text);
        auto form = startWindow();
        const QByteArray stamp = storeStamp();
        form->PushButton6_Click();
        const QList<ShownMessage> shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith("No flyer was made from \"Plans you are making for the "));
        QCOMPARE(storeStamp(), stamp);
        QCOMPARE(form->record().txtPlans, text);
    }

    void aHandCursorFileThatIsNotACursorFailsStep108Only()
    {
        QFile cursor(test::programFolder() + kHandCursorFile);
        QVERIFY(cursor.open(QIODevice::WriteOnly));
        cursor.write("GIF89a, not a cursor");
        cursor.close();
        SettingsStore::save("txtItems", "Throw-up bag");

        auto form = startWindow();
        const QList<ShownMessage> shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].text.contains("Form1.Form_Load at line 108\r\r"),
                 qPrintable(shown[0].text));
        QVERIFY(!form->pointer().hasCustomImage());
        QCOMPARE(form->record().txtItems, QStringLiteral("Throw-up bag"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Lumarel"));
        QVERIFY(form->isVisible());
    }

    void undoPutsBackEveryTextAButtonReplaced_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("undoIn"); // where Ctrl+Z is pressed; empty: the window's menu
        QTest::newRow("Clear/Reset, Ctrl+Z on the button") << "PushButton2"
                                                           << "PushButton2";
        QTest::newRow("the sample data, Ctrl+Z in a box it filled") << "PushButton3"
                                                                    << "txtLocation";
        QTest::newRow("Clear/Reset, Undo in the menu of a caption") << "PushButton2"
                                                                    << "";
    }

    void undoPutsBackEveryTextAButtonReplaced()
    {
        QFETCH(QString, button);
        QFETCH(QString, undoIn);
        for (const FieldSpec& field : eventFields())
            if (!field.isPicker())
                SettingsStore::save(field.name, QStringLiteral("own\r\n") + field.name);
        // A line the box holds in pieces comes back whole as well.
        SettingsStore::save("txtMore", QString(25000, QLatin1Char('w')));
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        const QString before = storedTexts();
        QTest::mouseClick(control<QPushButton>(*form, qPrintable(button)), Qt::LeftButton);
        QVERIFY(storedTexts() != before);
        if (undoIn.isEmpty()) {
            const QList<QAction*> menu = control<QLabel>(*form, "Label4_0")->actions();
            QVERIFY(menu.size() == 3 && menu[0]->text() == "&Undo" &&
                    menu[1]->text() == "&Live Page" && menu[2]->text() == "&Design");
            menu[0]->trigger();
        } else {
            QWidget* target = control<QWidget>(*form, qPrintable(undoIn));
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        }
        QCOMPARE(storedTexts(), before);
        // One step back only; a box's own typing stays the box's to undo.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(storedTexts(), before);
    }

    void storedTextsComeBackExactly_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("an empty line between two lines") << "txtMore"
                                                         << "a\r\n\r\nb";
        QTest::newRow("a trailing line break") << "txtPlans"
                                               << "None\r\n";
        QTest::newRow("non-breaking spaces in a multi-line box") << "txtInfoOrg" << u"5\u00a0pm"_qs;
        QTest::newRow("an unbroken word of 40 000 characters in a multi-line box")
            << "txtMore" << QString(40000, QLatin1Char('w'));
        QTest::newRow("40 000 characters in a single-line box")
            << "txtOrgName" << QString(40000, QLatin1Char('q'));
        QTest::newRow("blanks around a single-line text") << "txtLocation"
                                                          << "  Brantwell MA ";
    }

    void storedTextsComeBackExactly()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        storePickers();
        SettingsStore::save(field, text);
        const QByteArray stamp = storeStamp();
        // A file that cannot be replaced turns any write into a message; the inode alone may
        // come back the same after two writes.
        const QString path = SettingsStore::filePath();
        QCOMPARE(QProcess::execute("chattr", {"+i", path}), 0);
        const auto unmark = qScopeGuard([&] { QProcess::execute("chattr", {"-i", path}); });
        auto form = startWindow();
        QCOMPARE(form->record().*eventField(field)->text, text);
        // The store holds what the window shows: the start-up has nothing to write.
        const QList<ShownMessage> shown = Dialogs::takeShown();
        QVERIFY2(shown.isEmpty(), qPrintable(shown.value(0).text));
        QCOMPARE(storeStamp(), stamp);
    }

    void aFailingStoreIsReportedOnceWhileTyping()
    {
        auto form = startWindow();
        auto* location = control<QLineEdit>(*form, "txtLocation");
        location->setFocus();
        clearStore();
        QDir().mkpath(SettingsStore::filePath()); // a folder where the file should be

        QTest::keyClicks(location, "abc");
        QList<ShownMessage> shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith("The event details could not be saved."));

        clearStore();
        QTest::keyClick(location, 'd');
        QCOMPARE(SettingsStore::get("txtLocation"), QStringLiteral("abcd"));

        clearStore();
        QDir().mkpath(SettingsStore::filePath());
        QTest::keyClicks(location, "ef");
        QCOMPARE(Dialogs::takeShown().size(), 1);

        // Shown for real, the report waits for nobody and takes no key from the box.
        clearStore();
        QTest::keyClick(location, 'g');
        clearStore();
        QDir().mkpath(SettingsStore::filePath());
        useDialogBoxes();
        Dialogs::setScripted(false);
        const auto scripted = qScopeGuard([] { Dialogs::setScripted(true); });
        QTest::keyClicks(location, "RO");
        QCOMPARE(location->text(), QStringLiteral("abcdefgRO"));
        QMessageBox* report = nullptr;
        for (QWidget* window : QApplication::allWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
                report = box;
        QVERIFY(report && report->text().startsWith("The event details could not be saved."));
        QVERIFY(!report->isModal() && !QApplication::activeModalWidget());
        report->close();
        clearStore();
    }

    void tabVisitsTheFieldsThenTheButtons()
    {
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        const QStringList order{"dtpEventDate", "dtpTime",     "txtOrgName",  "txtEventName",
                                "txtLocation",  "txtMore",     "txtInfoOrg",  "txtPlans",
                                "txtItems",     "PushButton6", "PushButton2", "PushButton3",
                                "dtpEventDate"};
        for (const QString& name : order) {
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    void aTextBoxSelectsAllWhenItGetsTheFocus_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("a single-line box") << "txtLocation";
        QTest::newRow("a multi-line box") << "txtEventName";
    }

    void aTextBoxSelectsAllWhenItGetsTheFocus()
    {
        QFETCH(QString, field);
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->PushButton3_Click();
        QWidget* box = form->findChild<QWidget*>(field);
        QWidget* before = form->findChild<QWidget*>(
            eventFields()[fieldLayout(*eventField(field)).tabIndex - 1].name);
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, 'X');
        QCOMPARE(SettingsStore::get(field), QStringLiteral("X"));
    }

    void onlyTheKeyboardsFocusSelectsAll_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("selects");
        QTest::newRow("Tab") << int(Qt::TabFocusReason) << true;
        QTest::newRow("Backtab") << int(Qt::BacktabFocusReason) << true;
        QTest::newRow("a shortcut") << int(Qt::ShortcutFocusReason) << true;
        QTest::newRow("a click") << int(Qt::MouseFocusReason) << false;
        QTest::newRow("a popup closing") << int(Qt::PopupFocusReason) << false;
        QTest::newRow("another window and back") << int(Qt::ActiveWindowFocusReason) << false;
    }

    void onlyTheKeyboardsFocusSelectsAll()
    {
        QFETCH(int, reason);
        QFETCH(bool, selects);
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->PushButton3_Click();
        QWidget other;
        for (const char* name : {"txtOrgName", "txtEventName"}) {
            QWidget* box = control<QWidget>(*form, name);
            if (reason == Qt::ActiveWindowFocusReason) {
                box->setFocus();
                other.show();
                other.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&other));
                form->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(form.get()));
                QCOMPARE(QApplication::focusWidget(), box);
            } else {
                control<QWidget>(*form, "dtpEventDate")->setFocus();
                box->setFocus(Qt::FocusReason(reason));
            }
            QTest::keyClick(box, Qt::Key_X);
            QCOMPARE(SettingsStore::get(name) == "x", selects);
        }
    }

    void storeContentsTheStartCannotTakeAsTheyAre_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("failedStep");
        QTest::addColumn<QString>("orgName");
        QTest::newRow("a line the parser rejects")
            << QByteArray("[Lumarel]\ntxtOrgName=Good\ntxtLocation=Addr\n[broken\nfoo\n") << 0
            << "Good";
        QTest::newRow("a system-wide file") << QByteArray() << 0 << "";
        QTest::newRow("a date before the picker's range")
            << QByteArray("[Lumarel]\ndtpEventDate=1500-01-01\ntxtOrgName=Good\n") << 128 << "Good";
        QTest::newRow("a time before the picker's range")
            << QByteArray("[Lumarel]\ndtpTime=1600-12-31 23:59:59\ntxtOrgName=Good\n") << 130
            << "Good";
    }

    void storeContentsTheStartCannotTakeAsTheyAre()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, failedStep);
        QFETCH(QString, orgName);
        if (!file.isEmpty())
            test::writeFile(SettingsStore::filePath(), file);
        const QString system = test::rootFolder() + "/system";
        test::writeFile(system + "/Quenwick.ini", "[Lumarel]\ntxtOrgName=System\n");
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(system));
        const QDateTime before = form1Pickers();

        auto form = startWindow();
        QCOMPARE(form->record().txtOrgName, orgName);
        QList<ShownMessage> shown = Dialogs::takeShown();
        if (failedStep) {
            QCOMPARE(shown.size(), 1);
            QVERIFY(shown[0].text.contains(QStringLiteral(" at line %1\r").arg(failedStep)));
            const FieldSpec& picker = eventFields()[failedStep == 128 ? 0 : 1];
            QVERIFY(form->record().*picker.date >= before);
            QVERIFY(test::readFile(SettingsStore::filePath()).contains(file.split('\n')[1]));
            return;
        }
        // Said before anything is typed or made.
        QCOMPARE(shown.size(), file.isEmpty() ? 0 : 1);
        QVERIFY(file.isEmpty() || shown[0].text.contains("The file as it is will be kept"));
        QTest::keyClicks(control<QWidget>(*form, "txtItems"), "x"); // the first write
        shown = Dialogs::takeShown();
        const QStringList copies =
            QDir(test::configFolder()).entryList({"Quenwick.ini.unreadable-*"});
        QCOMPARE(copies.size(), int(shown.size()));
        QVERIFY(!test::readFile(SettingsStore::filePath()).contains("System"));
        if (copies.isEmpty())
            return;
        const QString copy = test::configFolder() + '/' + copies[0];
        QCOMPARE(test::readFile(copy), file);
        QVERIFY2(shown[0].text.contains(copy) && !shown[0].text.contains("could not be written"),
                 qPrintable(shown[0].text));
        QTest::keyClicks(control<QWidget>(*form, "txtItems"), "y");
        QVERIFY(Dialogs::takeShown().isEmpty());
        QCOMPARE(SettingsStore::get("txtLocation"), QStringLiteral("Addr"));
        QFile::remove(copy);
    }

    // The kinds of unreadable stores are the settings test's.
    void aStoreThatCannotBeReadIsSaidAtStartAndLeftAlone()
    {
        const QByteArray path = QFile::encodeName(SettingsStore::filePath());
        QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        auto form = startWindow();
        const QList<ShownMessage> shown = Dialogs::takeShown();
        QVERIFY(shown.size() == 1 && shown[0].text.contains("what you type is not saved"));
        QTest::keyClicks(control<QWidget>(*form, "txtOrgName"), "typed");
        QVERIFY(Dialogs::takeShown().isEmpty());
        struct stat after = {};
        QVERIFY(::lstat(path.constData(), &after) == 0 && S_ISFIFO(after.st_mode));
    }

    void pastedLinesAreStoredAsTheBoxShowsThem_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("LF") << "one\ntwo"
                            << "one two";
        QTest::newRow("CR LF and CR") << "one\r\ntwo\rthree"
                                      << "one two three";
        QTest::newRow("a paragraph separator") << u"one\u2029"_qs << "one ";
    }

    void pastedLinesAreStoredAsTheBoxShowsThem()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        auto form = startWindow();
        auto* line = control<QLineEdit>(*form, "txtOrgName");
        line->setFocus();
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(line, Qt::Key_Exclam);
        QCOMPARE(line->text(), shown + '!');
        QCOMPARE(SettingsStore::get("txtOrgName"), shown + '!');
    }

    void theKeyboardReachesEverything()
    {
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* sample = control<QPushButton>(*form, "PushButton3");
        sample->setFocus();
        QTest::keyClick(sample, Qt::Key_Return);
        QCOMPARE(form->record().txtOrgName, QStringLiteral("Quenwick"));
        auto* clear = control<QPushButton>(*form, "PushButton2");
        clear->setFocus();
        QTest::keyClick(clear, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(form->record().txtOrgName, QString());

        auto* date = control<QDateTimeEdit>(*form, "dtpEventDate");
        for (const auto& [key, modifier] :
             {std::pair(Qt::Key_F4, Qt::NoModifier), std::pair(Qt::Key_Down, Qt::AltModifier)}) {
            date->setFocus();
            QTest::keyClick(date, key, modifier);
            QTRY_VERIFY(date->calendarWidget() && date->calendarWidget()->isVisible());
            date->calendarWidget()->window()->hide();
        }

        for (const FieldSpec& field : eventFields()) {
            QAccessibleInterface* named =
                QAccessible::queryAccessibleInterface(control<QWidget>(*form, field.name));
            QCOMPARE(named->text(QAccessible::Name), QString::fromUtf8(fieldLayout(field).caption));
            // A picker reads out the date or time it shows, never a number.
            if (auto* picker = qobject_cast<QDateTimeEdit*>(named->object())) {
                QVERIFY(!named->valueInterface());
                QAccessibleTextInterface* text = named->textInterface();
                QCOMPARE(text->text(0, text->characterCount()), picker->text());
            }
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(form.get())->text(QAccessible::Name),
                 QStringLiteral("Lumarel: event details"));
    }

    void theTimePickerShowsTheLocalesTime_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("shown");
        QTest::newRow("German") << "de_DE"
                                << "15:05:09";
        QTest::newRow("American English") << "en_US"
                                          << "3:05:09 PM";
        QTest::newRow("Spanish, whose zone stands in brackets") << "es_ES"
                                                                << "15:05:09";
    }

    void theTimePickerShowsTheLocalesTime()
    {
        QFETCH(QString, locale);
        QFETCH(QString, shown);
        storePickers();
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        auto form = startWindow();
        QCOMPARE(control<QDateTimeEdit>(*form, "dtpTime")->text(), shown);
        QCOMPARE(SettingsStore::get("dtpTime"), QStringLiteral("2025-03-14 15:05:09"));
    }

    void thePointerFollowsTheHoverRules()
    {
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        auto* button = control<QPushButton>(*form, "PushButton2");
        auto* frame = control<QGroupBox>(*form, "Frame1");
        auto* label = control<QLabel>(*form, "Label4_52");
        auto* box = control<QPlainTextEdit>(*form, "txtMore");
        PointerSetting& pointer = form->pointer();

        QTest::mouseMove(form.get(), QPoint(2, 60));
        QCOMPARE(pointer.value(), PointerSetting::Normal);
        QTest::mouseMove(button, button->rect().center());
        QCOMPARE(pointer.value(), PointerSetting::Custom);
        // Without a hand image the hand rule shows the normal pointer.
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(label, label->rect().center());
        QCOMPARE(pointer.value(), PointerSetting::Custom);
        QTest::mouseMove(frame, QPoint(4, frame->height() - 4));
        QCOMPARE(pointer.value(), PointerSetting::Normal);

        pointer.set(PointerSetting::Hourglass);
        QTest::mouseMove(button, button->rect().center());
        QCOMPARE(pointer.value(), PointerSetting::Hourglass);
        QTest::mouseMove(box->viewport(), QPoint(5, 5));
        QCOMPARE(pointer.value(), PointerSetting::Hourglass);
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
    }

    void theHandFileShowsOverTheButtonsOnly()
    {
        test::writeFile(test::programFolder() + kHandCursorFile, test::cursorFileBytes());
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(Dialogs::takeShown().isEmpty());
        auto* button = control<QPushButton>(*form, "PushButton6");
        QTest::mouseMove(button, button->rect().center());
        QCOMPARE(form->cursor().shape(), Qt::BitmapCursor);
        QTest::mouseMove(form.get(), QPoint(2, 60));
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    }

    void backgroundsAreWhiteUnlessASkinIsApplied_data()
    {
        QTest::addColumn<bool>("skin");
        QTest::newRow("no skin file: white") << false;
        QTest::newRow("a skin file: frame and labels take the button face") << true;
    }

    void backgroundsAreWhiteUnlessASkinIsApplied()
    {
        QFETCH(bool, skin);
        if (skin)
            test::writeFile(test::programFolder() + kSkinFile, "QPushButton { color: navy; }");
        auto form = startWindow();
        const QColor expected =
            skin ? QApplication::palette().color(QPalette::Button) : QColor(Qt::white);
        QCOMPARE(form->palette().color(QPalette::Window), expected);
        QCOMPARE(control<QGroupBox>(*form, "Frame1")->palette().color(QPalette::Window), expected);
        QCOMPARE(control<QLabel>(*form, "Label4_3")->palette().color(QPalette::Window), expected);
        for (const char* box : {"txtOrgName", "txtItems"})
            QCOMPARE(control<QWidget>(*form, box)->palette().color(QPalette::Base),
                     QColor(Qt::white));
        QCOMPARE(control<QPushButton>(*form, "PushButton3")->palette().color(QPalette::Button),
                 QColor(Qt::white));
    }

    void aDateTypedWholeStaysInThePicker_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("typed");
        QTest::newRow("dashes and the month's name in English") << "en_GB"
                                                                << "05-Mar-2027";
        QTest::newRow("points in German, the year in four digits") << "de_DE"
                                                                   << "05.03.2027";
        QTest::newRow("a one-digit day and month") << "de_DE"
                                                   << "5.3.2027";
    }

    void aDateTypedWholeStaysInThePicker()
    {
        QFETCH(QString, language);
        QFETCH(QString, typed);
        const QLocale before;
        QLocale::setDefault(QLocale(language));
        const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* date = control<QDateTimeEdit>(*form, "dtpEventDate");
        QTest::keyClicks(date, typed);
        QCOMPARE(date->date(), QDate(2027, 3, 5));
        QCOMPARE(QApplication::focusWidget(), date);
    }

    void theKeyboardOpensTheWindowsMenuAnywhere_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("menuKey"); // else Shift+F10
        QTest::newRow("Shift+F10 in a text box, after its own entries") << "txtPlans" << false;
        QTest::newRow("the Menu key in the date picker") << "dtpEventDate" << true;
        QTest::newRow("Shift+F10 on a button") << "PushButton2" << false;
    }

    void theKeyboardOpensTheWindowsMenuAnywhere()
    {
        QFETCH(QString, focus);
        QFETCH(bool, menuKey);
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QWidget* focused = control<QWidget>(*form, qPrintable(focus));
        focused->setFocus();
        if (menuKey) {
            // What the window system sends for the Menu key.
            QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                      focused->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(focused, &request);
        } else {
            QTest::keyClick(focused, Qt::Key_F10, Qt::ShiftModifier);
        }
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        const QList<QAction*> entries = menu->actions();
        QVERIFY(entries.size() > (focus.startsWith("txt") ? 2 : 1));
        QCOMPARE(entries.last()->text(), "&Design");
        menu->close();
    }

    void f1ShowsTheHelpAndCtrlQEndsTheProgram()
    {
        auto form = startWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_F1);
        QTextBrowser* help = nullptr;
        QTRY_VERIFY((help = qobject_cast<QTextBrowser*>(QApplication::activeWindow())));
        QVERIFY(help->toPlainText().contains("The command line"));
        help->close();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        test::resetProgramEnds();
        QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(test::programEnds(), 1);
    }

    void germanSettingsTranslateTheWindowAndQtsOwnTexts()
    {
        const Translations german(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(german.ownTexts());
        auto form = startWindow();
        QCOMPARE(control<QPushButton>(*form, "PushButton6")->text(), "Vorlage &erstellen");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Ja");
    }

    void thePickersKeepAFullDateAndTime()
    {
        storePickers();
        auto form = startWindow();
        auto* date = control<QDateTimeEdit>(*form, "dtpEventDate");
        auto* time = control<QDateTimeEdit>(*form, "dtpTime");
        QCOMPARE(date->text(), QLocale().toString(kStoredDate, "dd-MMM-yyyy"));
        QCOMPARE(time->dateTime(), kStoredTime);
        QCOMPARE(date->minimumDateTime(), QDateTime(QDate(1601, 1, 1), QTime(0, 0)));
        QCOMPARE(date->maximumDate(), QDate(9999, 12, 31));
        QVERIFY(date->calendarPopup());

        // Stepping the year keeps the time of day the picker does not show.
        SettingsStore::save("dtpEventDate", "2027-01-15 09:30:00");
        form = startWindow();
        date = control<QDateTimeEdit>(*form, "dtpEventDate");
        date->setFocus();
        date->setCurrentSection(QDateTimeEdit::YearSection);
        QTest::keyClick(date, Qt::Key_Up);
        QCOMPARE(form->record().dtpEventDate, QDateTime(QDate(2028, 1, 15), QTime(9, 30)));
        QCOMPARE(SettingsStore::get("dtpEventDate"), QStringLiteral("2028-01-15 09:30:00"));
    }

    void theWindowHasAFixedSizeAndNoMaximise()
    {
        auto form = startWindow();
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((form->frameGeometry().center() - screen.center()).manhattanLength() <= 1);
        QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget() : form->focusWidget(),
                 form->findChild<QWidget*>("dtpEventDate"));
    }

    void everyControlStandsWhereItsTwipsSay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        const auto row = [](const char* name, int l, int t, int w, int h) {
            QTest::newRow(name) << QString::fromLatin1(name) << QRect(l, t, w, h);
        };
        row("Form1", 0, 0, 9240, 7500); // the client area; its position is the screen's
        row("PushButton6", 120, 120, 9000, 405);
        row("PushButton2", 120, 630, 4440, 405);
        row("PushButton3", 4680, 630, 4440, 405);
        row("Frame1", 120, 1110, 9000, 6255);
        row("Label4_4", 240, 345, 2370, 225);
        row("dtpEventDate", 2640, 300, 6135, 345);
        row("Label4_52", 240, 795, 2370, 225);
        row("dtpTime", 2640, 750, 6135, 345);
        row("Label4_51", 240, 1245, 2340, 225);
        row("txtOrgName", 2640, 1200, 6135, 345);
        row("Label4_48", 240, 1695, 1680, 225);
        row("txtEventName", 2640, 1650, 6135, 720);
        row("Label4_47", 240, 2515, 1320, 225);
        row("txtLocation", 2640, 2470, 6135, 345);
        row("Label4_0", 240, 2955, 2100, 225);
        row("txtMore", 2640, 2910, 6135, 720);
        row("Label4_1", 240, 3765, 1740, 450);
        row("txtInfoOrg", 2640, 3720, 6135, 720);
        row("Label4_2", 240, 4575, 1980, 675);
        row("txtPlans", 2640, 4530, 6135, 720);
        row("Label4_3", 240, 5385, 1740, 450);
        row("txtItems", 2640, 5340, 6135, 720);
    }

    void everyControlStandsWhereItsTwipsSay()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        Form1 form;
        QWidget* widget = name == "Form1" ? &form : form.findChild<QWidget*>(name);
        QVERIFY(widget);
        const QRect expected =
            Twips::toPixels({twips.x(), twips.y(), twips.width(), twips.height()});
        auto* label = qobject_cast<QLabel*>(widget);
        if (widget == &form) {
            QCOMPARE(form.size(), expected.size());
        } else if (label && label->width() != expected.width()) {
            // A one-line label may grow to show its whole caption, short of its input.
            QCOMPARE(label->geometry().topLeft(), expected.topLeft());
            QCOMPARE(label->height(), expected.height());
            QVERIFY(label->width() > expected.width());
            QVERIFY(label->geometry().right() < Twips::toPixels(2640));
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) < label->width());
        } else {
            QCOMPARE(widget->geometry(), expected);
        }
        if (label) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                     "the caption does not fit its label");
        }
    }

    void theMultiLineBoxesScrollAndTabOn()
    {
        Form1 form;
        for (const FieldSpec& field : eventFields()) {
            if (field.kind != FieldKind::MultiLine)
                continue;
            auto* box = form.findChild<QPlainTextEdit*>(field.name);
            QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QVERIFY(box->tabChangesFocus());
        }
    }
};

LUMAREL_TEST_MAIN(Form1Test)
#include "tst_form1.moc"
