#include "TestEnvironment.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/StepTrap.h"

#include <QScopeGuard>

using namespace lumarel;

namespace {

// A service with no handler of its own that fails part-way.
void serviceThatFailsDeepDown(QStringList& trace)
{
    trace << "service started";
    throw Failure(QStringLiteral("Deep failure"));
}

} // namespace

class StepTrapTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Dialogs::takeShown(); }

    void messageTextHasTheExactBytes()
    {
        const QString text = StepTrap::messageText(QStringLiteral("File not found"),
                                                   locationText("Form1", "PushButton3_Click"), 104);
        QCOMPARE(text,
                 QStringLiteral("File not found\r\nin Ostrevan2021/08/31.Form1.PushButton3_Click "
                                "at line 104\r\rPlease email screenshot of this message to "
                                "support@lumarel.example"));
    }

    void emptyDescriptionStartsWithTheLineBreak()
    {
        StepTrap trap(locationText("Form2", "RedrawImage"));
        trap.step(100, [] { throw Failure(QString()); });
        const auto shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.startsWith(
            QStringLiteral("\r\nin Ostrevan2021/08/31.Form2.RedrawImage at line 100\r\r")));
    }

    void boxIsAWarningWithOkTitledApplicationError()
    {
        StepTrap trap(locationText("Form1", "Form_Load"));
        trap.step(128, [] { throw std::runtime_error("Type mismatch"); });
        const auto shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, QStringLiteral("Application Error"));
        QCOMPARE(shown[0].icon, MessageIcon::Warning);
        QCOMPARE(shown[0].buttons, MessageButtons::Ok);
        QVERIFY(shown[0].text.startsWith(QStringLiteral("Type mismatch\r\n")));
    }

    void twoFailingStepsReportTwiceAndLaterStepsStillRun()
    {
        QStringList trace;
        StepTrap trap(locationText("Form1", "PushButton2_Click"));
        trap.step(100, [&] { trace << "100"; });
        trap.step(102, [&] {
            throw Failure(QStringLiteral("first"));
            trace << "102 rest";
        });
        trap.step(104, [&] { trace << "104"; });
        trap.step(106, [&] { throw Failure(QStringLiteral("second")); });
        trap.step(108, [&] { trace << "108"; });

        QCOMPARE(trace, QStringList({"100", "104", "108"}));
        const auto shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0].text.startsWith("first\r\n"));
        QVERIFY(shown[0].text.contains("at line 102\r\r"));
        QVERIFY(shown[1].text.startsWith("second\r\n"));
        QVERIFY(shown[1].text.contains("at line 106\r\r"));
        QCOMPARE(trap.failures(), 2);
    }

    void failingTestOfAConditionalEntersTheBlock()
    {
        StepTrap trap(locationText("Form2", "PushButton6_Click"));
        bool entered = false;
        if (trap.test(118, []() -> bool { throw Failure(QStringLiteral("Bad file name")); }))
            entered = true;
        QVERIFY(entered);
        QVERIFY(!trap.test(120, [] { return false; }));
        const auto shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].text.contains("at line 118"));
    }

    void failureInsideAServiceIsReportedUnderTheCallersStep()
    {
        QStringList trace;
        StepTrap trap(locationText("Form1", "Form_Load"));
        trap.step(104, [&] {
            serviceThatFailsDeepDown(trace);
            trace << "rest of step 104";
        });
        trap.step(106, [&] { trace << "106"; });
        QCOMPARE(trace, QStringList({"service started", "106"}));
        const auto shown = Dialogs::takeShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(
            shown[0].text.section("\r\r", 0, 0),
            QStringLiteral("Deep failure\r\nin Ostrevan2021/08/31.Form1.Form_Load at line 104"));
    }

    void withoutBoxesAMessageTakesItsDefaultAnswerAndNoFileIsChosen()
    {
        Dialogs::setScripted(false);
        const auto scripted = qScopeGuard([] { Dialogs::setScripted(true); });
        QCOMPARE(Dialogs::message("t", "x", MessageIcon::Warning, MessageButtons::YesNo),
                 Answer::No);
        QCOMPARE(Dialogs::saveFileName("Save File", "Word 97 (*.doc)"), QString());
    }
};

LUMAREL_TEST_GUILESS_MAIN(StepTrapTest)
#include "tst_steptrap.moc"
