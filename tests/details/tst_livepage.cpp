// The live page beside the main window, with the real office: the page a press makes, typing
// and pressing while a page is made, and an office that dies amid one.
#include "TestEnvironment.h"

#include "MainWindow.h"
#include "OfficeProcesses.h"
#include "app/SettingsStore.h"
#include "details/LiveFlyer.h"
#include "flyer/FlyerJobs.h"
#include "office/OfficeCallWatch.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "preview/LivePage.h"
#include "word97/WordParagraphs.h"

#include <QAction>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSemaphore>

#include <atomic>
#include <csignal>
#include <memory>

using namespace lumarel;
using namespace std::chrono_literals;

namespace {

// Holds the next office call that puts a text in until released: what happens meanwhile
// happens amid a page, however fast the office is.
struct HeldCall
{
    struct Gates
    {
        std::atomic_bool taken = false;
        QSemaphore reached, released;
    };
    std::shared_ptr<Gates> gates = std::make_shared<Gates>();

    HeldCall()
    {
        watchOfficeCallsForTests([gates = gates](const QString& doing) {
            if (doing.startsWith("setting the text of the bookmark") &&
                !gates->taken.exchange(true)) {
                gates->reached.release();
                gates->released.acquire();
            }
        });
    }
    ~HeldCall()
    {
        watchOfficeCallsForTests(nullptr);
        release();
    }
    bool reached()
    {
        return QTest::qWaitFor([&] { return gates->reached.tryAcquire(); }, 600000);
    }
    void release() { gates->released.release(); }
};

} // namespace

class LivePageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // No pause after a change: a test waits only for what it holds.
        m_form = test::loadedMainWindow(0ms);
        m_form->PushButton3_Click();
        QVERIFY(!m_form->live().isOn()); // off until turned on
        m_form->live().action()->trigger();
        QCOMPARE(SettingsStore::get(LivePageSetting::key()), "on");
        QVERIFY(m_form->live().page()->isVisible());
        QSignalSpy shown(m_form->live().page(), &LivePage::shown);
        QVERIFY(shown.wait(600000));
    }

    void init() { Dialogs::takeShown(); }

    // What a test asked for ends before the next starts.
    void cleanup()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->live().busy(), 600000);
        test::cleanUpAfterTest(*m_form);
    }

    void pageIsThePreviewsPageForTheSampleData()
    {
        LivePage& page = *m_form->live().page();
        QVERIFY(page.lineText().startsWith("Updated "));
        QVERIFY(page.findChild<QWidget*>("LivePageArea")
                    ->accessibleName()
                    .startsWith("Flyer page, updated "));
        QVERIFY(test::press(*m_form));
        Form2& preview = m_form->preview();
        preview.Form_Activate();
        QCOMPARE(page.picture(), preview.view().zoomSource());
        // The live page's document is gone: only the press's is left, for the preview.
        QCOMPARE(test::tempFiles(), QStringList{QFileInfo(preview.mWordFile).fileName()});
        QVERIFY(!page.isVisible()); // it comes back with the main window
        preview.PushButton8_Click();
        QVERIFY(page.isVisible());
    }

    void typingDuringAPageEndsInOnePageWithTheLastTexts()
    {
        HeldCall held;
        QSignalSpy asked(&m_form->live(), &LiveFlyer::asked);
        auto* name = m_form->findChild<QLineEdit*>("txtOrgName");
        name->setText("Quenwick Town");
        QVERIFY(held.reached());
        for (const char* text : {"Quenwick A", "Quenwick Arts", "Quenwick Arts Club"})
            name->setText(text);
        held.release();
        QTRY_VERIFY_WITH_TIMEOUT(m_form->live().shownFields().orgName == "Quenwick Arts Club" &&
                                     !m_form->live().busy(),
                                 600000);
        QCOMPARE(asked.size(), 2);
        QVERIFY(Dialogs::takeShown().isEmpty());
    }

    void pressDuringAPageShowsThePressTexts()
    {
        HeldCall held;
        auto* name = m_form->findChild<QLineEdit*>("txtOrgName");
        name->setText("Old Name Club");
        QVERIFY(held.reached());
        name->setText("Pressed Name Club");
        QSignalSpy ended(m_form.get(), &Form1::pressEnded);
        m_form->PushButton6_Click();
        held.release();
        QVERIFY(ended.wait(600000));
        QVERIFY(m_form->preview().isVisible());
        QString texts;
        for (const WordParagraph& paragraph :
             readWordParagraphs(m_form->preview().mWordFile).paragraphs)
            texts += paragraph.text;
        QVERIFY(texts.contains("Pressed Name Club") && !texts.contains("Old Name Club"));
    }

    void officeKilledAmidAPageGivesAQuietLineAndTheNextPageComes()
    {
        QVERIFY(programOffices().waitUntilConnected().isEmpty());
        OfficeEngine& office = programOffices().take();
        const qint64 pid = office.processId();
        programOffices().giveBack(office, false);
        std::atomic_bool struck = false;
        watchOfficeCallsForTests([&](const QString& doing) {
            if (doing.startsWith("setting the text of the bookmark") && !struck.exchange(true))
                kill(pid_t(pid), SIGKILL);
        });
        const auto unwatch = qScopeGuard([] { watchOfficeCallsForTests(nullptr); });
        LivePage& page = *m_form->live().page();
        QSignalSpy shown(&page, &LivePage::shown);
        m_form->findChild<QLineEdit*>("txtLocation")->setText("12 Harbour Road");
        QVERIFY(shown.wait(600000));
        QVERIFY2(page.lineText().startsWith("The page could not be made: "),
                 qPrintable(page.lineText()));

        m_form->findChild<QLineEdit*>("txtLocation")->setText("14 Harbour Road");
        QVERIFY(shown.wait(600000));
        QVERIFY2(page.lineText().startsWith("Updated "), qPrintable(page.lineText()));
        QCOMPARE(m_form->live().shownFields().location, "14 Harbour Road");
        QVERIFY(Dialogs::takeShown().isEmpty()); // nor for the failed page
        QCOMPARE(test::tempFiles(), QStringList());
    }

private:
    std::unique_ptr<Form1> m_form;
};

LUMAREL_TEST_MAIN(LivePageTest)
#include "tst_livepage.moc"
