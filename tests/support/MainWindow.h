#pragma once

#include "TestEnvironment.h"
#include "app/Dialogs.h"
#include "details/Form1.h"
#include "preview/Form2.h"

#include <QDateTimeEdit>
#include <QLocale>
#include <QSignalSpy>

#include <memory>

namespace lumarel::test {

// The main window loaded without the engine check, in US English, with its pickers at
// 2027-01-15 15:05 so that a flyer's date and time texts are known.
inline std::unique_ptr<Form1>
loadedMainWindow(std::chrono::milliseconds livePause = LivePacer::kPause)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto form = std::make_unique<Form1>(nullptr, livePause);
    form->Form_Load(Form1::EngineCheck::Skip);
    form->findChild<QDateTimeEdit*>("dtpEventDate")
        ->setDateTime(QDateTime(QDate(2027, 1, 15), QTime(0, 0)));
    form->findChild<QDateTimeEdit*>("dtpTime")->setDateTime(
        QDateTime(QDate(2027, 1, 15), QTime(15, 5)));
    return form;
}

// Presses "Start Creating Template" and waits for the press to end, however long the office
// takes: the flyer is made off the window's thread. False when it did not end.
[[nodiscard]] inline bool press(Form1& form)
{
    QSignalSpy ended(&form, &Form1::pressEnded);
    form.PushButton6_Click();
    return !ended.isEmpty() || ended.wait(600000);
}

// Each test of the window starts from it shown alone, nothing in the temporary folder and no
// message pending, whatever the test before it left when it failed: a preview still open goes
// back as "< Back" does, which removes its document.
inline void cleanUpAfterTest(Form1& form)
{
    if (Form2* preview = form.shownPreview())
        preview->PushButton8_Click();
    form.show();
    removeTempFiles();
    Dialogs::takeShown();
}

} // namespace lumarel::test
