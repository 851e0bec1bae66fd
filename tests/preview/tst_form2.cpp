#include "TestEnvironment.h"
#include "TestFiles.h"

#include "app/AppServices.h"
#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/PointerSetting.h"
#include "flyer/DocumentExport.h"
#include "preview/Form2.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

#include <memory>

using namespace lumarel;
using test::readFile;
using test::writeFile;

namespace {

// A page picture as the capture writes it: a BMP with its resolution.
QString writePicture(const QString& name, int width, int height, int dotsPerMeter, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    const QString path = test::tempFolder() + QLatin1Char('/') + name;
    if (!image.save(path, "BMP"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The US Letter page of the capture: 2159 x 2794 pixels at 10000 dots per meter.
QString writeLetterPage(QColor colour = Qt::darkRed)
{
    return writePicture(QStringLiteral("temp.bmp"), 2159, 2794, 10000, colour);
}

// A document with every byte value, so a copy that is not byte for byte shows.
QByteArray documentBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(char(i * 7 % 256));
    bytes.append("\r\n\0\x1a", 4);
    return bytes;
}

// The hand-over of a flyer run.
std::unique_ptr<Form2> handOver(const QString& picturePath, const QString& document)
{
    auto form = std::make_unique<Form2>();
    form->loadPicture(picturePath);
    form->mWordFile = document;
    form->show();
    form->Form_Activate();
    return form;
}

template <class T> T* control(QWidget& form, const char* name)
{
    T* widget = form.findChild<T*>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

QStringList texts(const QList<ShownMessage>& shown)
{
    QStringList list;
    for (const ShownMessage& message : shown)
        list << message.text.section(QLatin1Char('\r'), 0, 0);
    return list;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Drags the page from one point of the viewport's inside to another (pixels).
void dragPage(QWidget* page, QPoint from, QPoint to)
{
    sendMouse(page, QEvent::MouseButtonPress, from - page->pos(), Qt::LeftButton, Qt::LeftButton);
    sendMouse(page, QEvent::MouseMove, to - page->pos(), Qt::NoButton, Qt::LeftButton);
    sendMouse(page, QEvent::MouseButtonRelease, to - page->pos(), Qt::LeftButton, Qt::NoButton);
}

// Saves through the button with a scripted dialog; returns the messages shown.
QList<ShownMessage> saveAs(Form2& form, const QString& name, const QString& filter, Answer answer)
{
    Dialogs::setNextFileName(name, filter);
    Dialogs::setNextAnswer(answer);
    form.PushButton6_Click();
    return Dialogs::takeShown();
}

} // namespace

Q_DECLARE_METATYPE(lumarel::Answer)

class Form2Test : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetAppTitle(); }
    void init() { Dialogs::takeShown(); }
    // Each window is the test's own; the pictures and documents it wrote go with it.
    void cleanup() { test::removeTempFiles(); }

    void layoutFollowsTheTwipsTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::addColumn<QString>("caption");
        QTest::newRow("the horizontal bar") << "HScroll1" << QRect(8, 503, 622, 17) << "";
        QTest::newRow("the vertical bar") << "VScroll1" << QRect(630, 8, 17, 495) << "";
        QTest::newRow("the viewport") << "Picture2" << QRect(8, 8, 622, 495) << "";
        QTest::newRow("the frame") << "Frame1" << QRect(8, 524, 640, 57) << "Zoom:";
        QTest::newRow("Zoom In, inside the frame")
            << "PushButton1" << QRect(16, 20, 296, 27) << "Zoom &In";
        QTest::newRow("Zoom Out, inside the frame")
            << "PushButton2" << QRect(320, 20, 304, 27) << "Zoom &Out";
        QTest::newRow("the save button")
            << "PushButton6" << QRect(328, 590, 320, 27) << "&Save Results To Word File";
        QTest::newRow("the back button") << "PushButton8" << QRect(8, 590, 312, 27) << "< &Back";
    }

    void layoutFollowsTheTwipsTable()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        QFETCH(QString, caption);
        Form2 form;
        QWidget* widget = form.findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), pixels);
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->font().family(), QStringLiteral("Arial"));
            QCOMPARE(button->font().pointSizeF(), 11.25);
            QVERIFY(button->font().bold());
        }
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            QCOMPARE(frame->title(), caption);
    }

    void windowOpensAtItsDesignSizeAndIsNamed()
    {
        Form2 form;
        QCOMPARE(form.size(), QSize(656, 626));
        QVERIFY(form.minimumSize().height() < 626);
        QCOMPARE(form.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        QCOMPARE(form.windowTitle(), QStringLiteral("Lumarel"));
        QCOMPARE(form.font().pointSizeF(), 9.0);
        QVERIFY(form.font().bold());
        QVERIFY(control<QLabel>(form, "Zoom_Ori")->isHidden());
        QVERIFY(form.firstActivatePending());
    }

    void loadingWhatIsNoPictureFails_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("a missing file") << test::tempFolder() + "/missing.bmp";
        QTest::newRow("a text file") << writeFile(test::tempFolder() + "/words.bmp", "no picture");
    }

    void loadingWhatIsNoPictureFails()
    {
        QFETCH(QString, path);
        Form2 form;
        try {
            form.loadPicture(path);
            QFAIL("no failure");
        } catch (const Failure& failure) {
            QVERIFY2(failure.description().contains(path), qPrintable(failure.description()));
        }
    }

    void activationSetsUpTheFirstDisplay()
    {
        Form2 form;
        form.loadPicture(writeLetterPage());
        form.show();
        // Becoming the active window runs the set-up.
        QTRY_VERIFY(!form.firstActivatePending());
        QCOMPARE(form.view().mZoom, 1.0f);
        QCOMPARE(control<QLabel>(form, "Picture1")->pos(), QPoint(0, 0));
        // Running it again without a pending set-up changes nothing.
        control<QScrollBar>(form, "HScroll1")->setValue(5);
        form.Form_Activate();
        QCOMPARE(form.view().HScroll1.value(), 5);
        QCOMPARE(control<QLabel>(form, "Picture1")->pos(), QPoint(-3, 0)); // 50 twips
    }

    void aLetterPageScrollsAndDragsToEveryCorner()
    {
        auto form = handOver(writeLetterPage(), QString());
        auto* h = control<QScrollBar>(*form, "HScroll1");
        auto* v = control<QScrollBar>(*form, "VScroll1");
        auto* page = control<QLabel>(*form, "Picture1");
        // 12240 x 15840 twips, drawn at its base size.
        QCOMPARE(form->view().pageSize().width, 12238.0f);
        QCOMPARE(form->view().pageSize().height, 15838.0f);
        QCOMPARE(page->size(), QSize(816, 1056));
        QVERIFY(h->isEnabled());
        QVERIFY(v->isEnabled());
        QCOMPARE(h->maximum(), 291);
        QCOMPARE(v->maximum(), 841);
        QCOMPARE(page->pixmap().toImage().pixelColor(400, 500), QColor(Qt::darkRed));

        h->setValue(h->maximum());
        v->setValue(v->maximum());
        QCOMPARE(page->pos(), QPoint(-194, -561)); // 2910 and 8410 twips

        // The viewport's inside is 618 x 491 pixels, the page's travel larger: three drags
        // reach any corner.
        const auto dragTowards = [&](QPoint from, QPoint to) {
            for (int i = 0; i < 3; ++i)
                dragPage(page, from, to);
        };
        const QPoint topLeft(0, 0);
        const QPoint bottomRight(617, 490);
        dragTowards(topLeft, bottomRight);
        QCOMPARE(page->pos(), QPoint(0, 0));
        QCOMPARE(h->value(), 0);
        QCOMPARE(v->value(), 0);

        // Flush with the inside is beyond 100 percent of the bars' range: the page stays.
        dragTowards(bottomRight, topLeft);
        QCOMPARE(page->geometry().bottomRight(), bottomRight);
        dragTowards(QPoint(0, 490), QPoint(617, 0));
        QCOMPARE(page->pos(), QPoint(0, 491 - 1056));
        dragTowards(QPoint(617, 0), QPoint(0, 490));
        QCOMPARE(page->pos(), QPoint(618 - 816, 0));
        QCOMPARE(v->value(), 0);
        QCOMPARE(Dialogs::takeShown().size(), 0);
    }

    void screenReadersHearWhatEachPartIs_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<int>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the window says which one it is")
            << "Form2" << int(QAccessible::Name) << "Lumarel: flyer preview";
        QTest::newRow("the horizontal bar is named")
            << "HScroll1" << int(QAccessible::Name) << "Scroll the page left and right";
        QTest::newRow("the vertical bar is named")
            << "VScroll1" << int(QAccessible::Name) << "Scroll the page up and down";
        QTest::newRow("the focusable page area names the page and its zoom")
            << "Picture2" << int(QAccessible::Name) << "Flyer page, zoom 100 %";
        QTest::newRow("the focusable page area tells its keys")
            << "Picture2" << int(QAccessible::Description)
            << "The flyer's page. Arrow and Page keys scroll it, Ctrl+Plus and Ctrl+Minus zoom.";
        QTest::newRow("< Back is read as the word")
            << "PushButton8" << int(QAccessible::Name) << "Back";
    }

    void screenReadersHearWhatEachPartIs()
    {
        QFETCH(QString, part);
        QFETCH(int, text);
        auto form = handOver(writeLetterPage(), QString());
        QObject* object = part == form->objectName() ? form.get() : form->findChild<QWidget*>(part);
        QTEST(QAccessible::queryAccessibleInterface(object)->text(QAccessible::Text(text)),
              "expected");
    }

    void aLargerWindowGivesThePageAreaTheRoomAndTheBarsFollow()
    {
        auto form = handOver(writeLetterPage(), QString());
        auto* v = control<QScrollBar>(*form, "VScroll1");
        v->setValue(v->maximum() / 2);
        form->resize(1100, 900);
        QCOMPARE(control<QWidget>(*form, "Picture2")->size(), QSize(622 + 444, 495 + 274));
        QCOMPARE(control<QPushButton>(*form, "PushButton8")->geometry().bottom(), 900 - 10);
        // The page is narrower than the area now; the bars are fitted as a zoom step fits them.
        QVERIFY(!control<QScrollBar>(*form, "HScroll1")->isEnabled());
        const int maximum = qRound((15838 - 769 * 15) / 10.0);
        QCOMPARE(v->maximum(), maximum);
        QCOMPARE(v->value(), qRound(maximum / 2.0));
        QCOMPARE(control<QLabel>(*form, "Picture1")->y(), -qRound(v->value() * 10 / 15.0));
    }

    void everyDrawingZoomStepResetsTheBars()
    {
        auto form = handOver(writeLetterPage(), QString());
        auto* v = control<QScrollBar>(*form, "VScroll1");
        auto* page = control<QLabel>(*form, "Picture1");
        v->setValue(300);
        QCOMPARE(page->y(), -200);

        QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
        QCOMPARE(form->view().mZoom, 0.75f);
        QCOMPARE(page->pos(), QPoint(0, 0));
        QCOMPARE(page->size(), QSize(612, 792)); // 9178 x 11878 twips
        QCOMPARE(page->pixmap().size(), QSize(612, 792));
        QVERIFY(!control<QScrollBar>(*form, "HScroll1")->isEnabled());
        QCOMPARE(v->maximum(), 445);
        QCOMPARE(v->value(), 0);

        v->setValue(100);
        QCOMPARE(page->y(), -67);
        QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
        QCOMPARE(form->view().mZoom, 0.5f);
        QCOMPARE(v->value(), 0);
        QCOMPARE(page->pos(), QPoint(0, 0));
        QCOMPARE(page->size(), QSize(408, 528));

        QTest::mouseClick(control<QPushButton>(*form, "PushButton1"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(*form, "PushButton1"), Qt::LeftButton);
        QCOMPARE(form->view().mZoom, 1.0f);
        QCOMPARE(page->size(), QSize(816, 1056));
        QCOMPARE(v->maximum(), 841);
        QCOMPARE(Dialogs::takeShown().size(), 0);
    }

    void backThenANewHandOverStartsAfresh()
    {
        QWidget mainWindow;
        const QString firstDocument =
            writeFile(test::tempFolder() + "/Lumarel11111111.doc", documentBytes());
        auto form = handOver(writeLetterPage(Qt::darkRed), firstDocument);
        form->setMainWindow(&mainWindow);
        QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
        QCOMPARE(form->view().mZoom, 0.5f);

        QTest::mouseClick(control<QPushButton>(*form, "PushButton8"), Qt::LeftButton);
        QVERIFY(!QFile::exists(firstDocument));
        QVERIFY(mainWindow.isVisible());
        QVERIFY(!form->isVisible());
        QVERIFY(form->firstActivatePending());

        // The next run: a smaller page in another colour, about 6000 x 9000 twips.
        const QString secondDocument =
            writeFile(test::tempFolder() + "/Lumarel22222222.doc", documentBytes());
        form->loadPicture(writePicture("second.bmp", 400, 600, 3780, Qt::darkGreen));
        form->mWordFile = secondDocument;
        form->show();
        form->Form_Activate();
        auto* page = control<QLabel>(*form, "Picture1");
        QCOMPARE(form->view().mZoom, 1.0f);
        QCOMPARE(page->pos(), QPoint(0, 0));
        QVERIFY(!control<QScrollBar>(*form, "HScroll1")->isEnabled());
        QVERIFY(control<QScrollBar>(*form, "VScroll1")->isEnabled());
        QCOMPARE(form->view().mHStep, 0);
        QCOMPARE(form->view().mVStep, 10);
        QCOMPARE(page->pixmap().toImage().pixelColor(100, 100), QColor(Qt::darkGreen));

        QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
        QCOMPARE(form->view().mZoom, 0.75f);
        QCOMPARE(page->pixmap().size(), QSize(300, 450));
        QCOMPARE(page->pixmap().toImage().pixelColor(150, 200), QColor(Qt::darkGreen));
        QVERIFY(QFile::exists(secondDocument));
    }

    void save_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("documentPresent");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("result");
        const QString target = test::tempFolder() + "/saved/flyer.doc";
        const QString question = "Are you sure you wish to overwrite " + target + " ?";
        const QByteArray old("an older flyer");
        const QByteArray none;
        QTest::newRow("cancelling copies nothing and says nothing")
            << QString() << none << Answer::No << true << QStringList{} << none;
        QTest::newRow("a new name gets a byte-for-byte copy")
            << target << none << Answer::No << true << QStringList{"Done."} << documentBytes();
        QTest::newRow("answering No keeps the existing file")
            << target << old << Answer::No << true << QStringList{question} << old;
        QTest::newRow("answering Yes replaces it")
            << target << old << Answer::Yes << true << QStringList{question, "Done."}
            << documentBytes();
        QTest::newRow("a name without an extension gets the filter's")
            << test::tempFolder() + "/saved/flyer" << none << Answer::No << true
            << QStringList{"Done."} << documentBytes();
        QTest::newRow("an extension no format has is refused")
            << test::tempFolder() + "/saved/weird.txt" << none << Answer::No << true
            << QStringList{"The flyer cannot be saved as weird.txt: the name must end in .doc, "
                           ".docx, .odt or .pdf, or have no extension to take the chosen file "
                           "type's."}
            << none;
        QTest::newRow("a folder that does not exist is a failed copy, without Done.")
            << test::tempFolder() + "/nowhere/flyer.doc" << none << Answer::No << true
            << QStringList{"The file"} << none;
        QTest::newRow("a missing temporary document is a failed copy, without Done.")
            << target << none << Answer::No << false << QStringList{"The file"} << none;
        QTest::newRow("a failed copy keeps the file it was to replace")
            << target << old << Answer::Yes << false << QStringList{question, "The file"} << old;
    }

    void save()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, existing);
        QFETCH(Answer, answer);
        QFETCH(bool, documentPresent);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, result);
        QDir(test::tempFolder() + "/saved").removeRecursively();
        QDir().mkpath(test::tempFolder() + "/saved");
        const QString document = test::tempFolder() + "/Lumarel12345678.doc";
        QFile::remove(document);
        if (documentPresent)
            writeFile(document, documentBytes());
        if (!existing.isNull())
            writeFile(name, existing);

        auto form = handOver(writeLetterPage(), document);
        Dialogs::setNextFileName(name);
        if (!existing.isNull()) // only then is there a question to answer
            Dialogs::setNextAnswer(answer);
        const int dialogs = Dialogs::fileDialogsShown();
        QTest::mouseClick(control<QPushButton>(*form, "PushButton6"), Qt::LeftButton);
        QCOMPARE(Dialogs::fileDialogsShown(), dialogs + 1);

        const QList<ShownMessage> shown = Dialogs::takeShown();
        QStringList seen = texts(shown);
        for (QString& text : seen)
            if (text.startsWith("The file"))
                text = "The file";
        QCOMPARE(seen, messages);
        for (const ShownMessage& message : shown) {
            if (message.title == "Application Error") {
                QVERIFY(message.text.contains(
                    "in Ostrevan2021/08/31.Form2.PushButton6_Click at line 130"));
                QVERIFY(message.text.contains(name));
                continue;
            }
            QCOMPARE(message.title, QStringLiteral("Lumarel"));
            const bool refusal = message.text.startsWith("The flyer cannot be saved");
            QCOMPARE(message.icon, refusal ? MessageIcon::Warning : MessageIcon::None);
            QCOMPARE(message.buttons, message.text == "Done." || refusal ? MessageButtons::Ok
                                                                         : MessageButtons::YesNo);
        }
        if (!name.isEmpty())
            QCOMPARE(readFile(QFileInfo(name).suffix().isEmpty() ? name + ".doc" : name), result);
        QCOMPARE(QDir(test::tempFolder() + "/saved").entryList(QDir::Files).size(),
                 result.isNull() ? 0 : 1);
        QCOMPARE(QFile::exists(document), documentPresent);
    }

    void saveTargetFollowsTheExtensionOrTheFilter()
    {
        using F = SaveFormat;
        // Typed name, the filter's place in the dialog's list, the name saved, the format.
        const std::tuple<const char*, int, const char*, F> cases[] = {
            {"/f/flyer", 0, "/f/flyer.doc", F::Word97},
            {"/f/a.b/flyer", 2, "/f/a.b/flyer.odt", F::OpenDocument},
            {"/f/flyer.PDF", 1, "/f/flyer.PDF", F::Pdf},
            {"/f/flyer.doc", 3, "/f/flyer.doc", F::Word97},
        };
        for (const auto& [typed, filter, path, format] : cases) {
            const SaveTarget target =
                saveTargetFor(typed, saveDialogFilter().section(";;", filter, filter));
            QCOMPARE(target.path, QString(path));
            QCOMPARE(target.format, format);
            QVERIFY(target.refusal.isEmpty());
        }
        QVERIFY(!saveTargetFor("/f/flyer.v2", QString()).refusal.isEmpty());
    }

    void aFailedConversionOrAProtectedFileLeavesTheOldFile()
    {
        const QString folder = test::tempFolder() + "/kept";
        QDir(folder).removeRecursively();
        const QString pdf = writeFile(folder + "/flyer.pdf", "an older flyer");
        const QString doc = writeFile(folder + "/flyer.doc", "an older document");
        // The office starts but finds no document to convert.
        auto form = handOver(writeLetterPage(), test::tempFolder() + "/Lumarel13131313.doc");

        QList<ShownMessage> shown =
            saveAs(*form, folder + "/flyer", "PDF Files (*.pdf)", Answer::Yes);
        QVERIFY2(shown.size() == 2 && shown[1].text.contains("PushButton6_Click at line 130"),
                 qPrintable(texts(shown).join('|')));
        QVERIFY(shown[1].text.startsWith("The document"));

        // A mark that even the file's owner cannot get past.
        QCOMPARE(QProcess::execute("chattr", {"+i", doc}), 0);
        const auto unmark = qScopeGuard([&] { QProcess::execute("chattr", {"-i", doc}); });
        shown = saveAs(*form, doc, QString(), Answer::Yes);
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[1].text.startsWith("The file " + doc +
                                          " could not be replaced: it is "
                                          "marked as unchangeable (immutable)"),
                 qPrintable(shown[1].text));
        QVERIFY(shown[1].text.contains("PushButton6_Click at line 130"));

        QCOMPARE(readFile(pdf), QByteArray("an older flyer"));
        QCOMPARE(readFile(doc), QByteArray("an older document"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void pageMenuAndShortcutsSaveAndPrint()
    {
        auto form = handOver(writeLetterPage(), QString());
        QStringList commands;
        for (const QAction* action : form->actions())
            commands << action->text() + " " + action->shortcut().toString();
        QCOMPARE(commands, (QStringList{"&Print\u2026 Ctrl+P", "Save &As\u2026 Ctrl+S"}));
        auto* page = control<QLabel>(*form, "Picture1");
        emit page->customContextMenuRequested(QPoint(10, 10));
        auto* menu = form->findChild<QMenu*>();
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->actions(), form->actions());
        menu->hide();

        const int files = Dialogs::fileDialogsShown();
        const int prints = Dialogs::printDialogsShown();
        QApplication::setActiveWindow(form.get());
        QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Dialogs::fileDialogsShown(), files + 1);
        QCOMPARE(texts(Dialogs::takeShown()), QStringList{}); // cancelled
        // A cancelled print dialog prints nothing and says nothing.
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(Dialogs::printDialogsShown(), prints + 1);
        QCOMPARE(Dialogs::takeShown().size(), 0);
    }

    void keysScrollThePageThroughTheBars_data()
    {
        // Keys with their modifiers; the bars' values after them; -1 stands for the maximum
        // and -2 for a viewport's worth of values.
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("v");
        const int shift = int(Qt::ShiftModifier);
        QTest::newRow("Down moves the vertical bar by one") << QList<int>{Qt::Key_Down} << 0 << 1;
        QTest::newRow("Right twice and Left once")
            << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Left} << 1 << 0;
        QTest::newRow("Page Down moves a viewport's height")
            << QList<int>{Qt::Key_PageDown} << 0 << -2;
        QTest::newRow("End reaches the bottom") << QList<int>{Qt::Key_End} << 0 << -1;
        QTest::newRow("Home after End is the top again")
            << QList<int>{Qt::Key_End, Qt::Key_Home} << 0 << 0;
        QTest::newRow("Shift+End reaches the right edge")
            << QList<int>{shift | Qt::Key_End} << -1 << 0;
    }

    void keysScrollThePageThroughTheBars()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, h);
        QFETCH(int, v);
        auto form = handOver(writeLetterPage(), QString());
        auto* area = control<QFrame>(*form, "Picture2");
        QCOMPARE(form->focusWidget(), area);
        for (int key : keys)
            QTest::keyClick(area, Qt::Key(key & ~Qt::KeyboardModifierMask),
                            Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
        const PageView& view = form->view();
        const int page = int(view.viewportInner().height / view.mVStep);
        QCOMPARE(view.HScroll1.value(), h == -1 ? int(view.HScroll1.maximum()) : h);
        QCOMPARE(view.VScroll1.value(), v == -1   ? int(view.VScroll1.maximum())
                                        : v == -2 ? page
                                                  : v);
        QCOMPARE(control<QScrollBar>(*form, "VScroll1")->value(), view.VScroll1.value());
        QCOMPARE(view.pageTop(), Single(-view.mVStep * view.VScroll1.value()));
        QCOMPARE(view.pageLeft(), Single(-view.mHStep * view.HScroll1.value()));
    }

    void zoomKeysWheelEscapeAndWhatAScreenReaderHears()
    {
        QWidget mainWindow;
        const QString document =
            writeFile(test::tempFolder() + "/Lumarel11223344.doc", documentBytes());
        auto form = handOver(writePicture("small.bmp", 300, 400, 3780, Qt::darkBlue), document);
        form->setMainWindow(&mainWindow);
        QApplication::setActiveWindow(form.get());
        auto* page = control<QLabel>(*form, "Picture1");
        QAccessibleInterface* pageInterface = QAccessible::queryAccessibleInterface(page);
        QCOMPARE(pageInterface->text(QAccessible::Name), QStringLiteral("Flyer page, zoom 100 %"));
        QVERIFY(!pageInterface->text(QAccessible::Description).isEmpty());
        QCOMPARE(QAccessible::queryAccessibleInterface(form.get())->role(), QAccessible::Window);

        const auto wheel = [&](int turn, Qt::KeyboardModifiers modifiers) {
            QWheelEvent event(QPointF(5, 5), page->mapToGlobal(QPointF(5, 5)), QPoint(),
                              QPoint(0, turn), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(page, &event);
        };
        QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
        QTest::keyClick(form.get(), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(form->view().mZoom, 1.5f);
        QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
        wheel(60, Qt::ControlModifier);
        QCOMPARE(form->view().mZoom, 1.25f);
        wheel(60, Qt::ControlModifier);
        QCOMPARE(form->view().mZoom, 1.5f);
        QCOMPARE(pageInterface->text(QAccessible::Name), QStringLiteral("Flyer page, zoom 150 %"));
        // A notch, here in two halves as a touchpad sends it, scrolls the desktop's three lines.
        wheel(-60, Qt::NoModifier);
        wheel(-60, Qt::NoModifier);
        QCOMPARE(form->view().VScroll1.value(),
                 std::min(QApplication::wheelScrollLines(), int(form->view().VScroll1.maximum())));
        QVERIFY(form->view().VScroll1.value() > 0);

        QTest::keyClick(form.get(), Qt::Key_Escape);
        QVERIFY(!form->isVisible());
        QVERIFY(mainWindow.isVisible());
        QVERIFY(!QFile::exists(document));
    }

    void closingDeletesTheDocumentAndEndsTheProgram()
    {
        QWidget mainWindow; // hidden; it goes with the program
        const QString document =
            writeFile(test::tempFolder() + "/Lumarel87654321.doc", documentBytes());
        auto form = handOver(writeLetterPage(), document);
        form->setMainWindow(&mainWindow);
        const int ends = test::programEnds();
        QVERIFY(form->close());
        QVERIFY(!QFile::exists(document));
        QCOMPARE(test::programEnds(), ends + 1);
        QVERIFY(!mainWindow.isVisible());
    }

    void pointerRules()
    {
        auto form = handOver(writeLetterPage(), QString());
        PointerSetting& pointer = form->pointer();
        const auto hover = [](QWidget* widget) {
            sendMouse(widget, QEvent::MouseMove, QPoint(3, 3), Qt::NoButton, Qt::NoButton);
        };
        hover(control<QPushButton>(*form, "PushButton1"));
        QCOMPARE(pointer.value(), PointerSetting::Custom);
        hover(control<QLabel>(*form, "Picture1"));
        QCOMPARE(pointer.value(), PointerSetting::Custom);
        hover(control<QGroupBox>(*form, "Frame1"));
        QCOMPARE(pointer.value(), PointerSetting::Normal);
        hover(control<QPushButton>(*form, "PushButton6"));
        QCOMPARE(pointer.value(), PointerSetting::Custom);
        hover(form.get());
        QCOMPARE(pointer.value(), PointerSetting::Normal);

        pointer.set(PointerSetting::Hourglass);
        hover(control<QPushButton>(*form, "PushButton8"));
        hover(form.get());
        QCOMPARE(pointer.value(), PointerSetting::Hourglass);

        // A drawing zoom step puts the normal pointer back.
        QTest::mouseClick(control<QPushButton>(*form, "PushButton2"), Qt::LeftButton);
        QCOMPARE(pointer.value(), PointerSetting::Normal);
    }

    void anUnreadableCursorFileIsReportedAtLine110()
    {
        const QString cursor = writeFile(programFolder() + kHandCursorFile, "not a cursor");
        Form2 form;
        QFile::remove(cursor);
        const auto shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith(
            "Invalid picture\r\nin Ostrevan2021/08/31.Form2.Form_Load at line 110"));
        QVERIFY(!form.pointer().hasCustomImage());
    }
};

LUMAREL_TEST_MAIN(Form2Test)
#include "tst_form2.moc"
