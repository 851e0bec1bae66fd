// The program: the window, or the command line when the arguments ask for it.
#include "app/AppServices.h"
#include "app/DialogBoxes.h"
#include "app/Failure.h"
#include "app/ProcessMemory.h"
#include "app/ProgramEnd.h"
#include "app/SingleInstance.h"
#include "app/StopSignals.h"
#include "app/TempFolder.h"
#include "app/Translations.h"
#include "cli/CommandLine.h"
#include "details/Form1.h"
#include "flyer/DateTexts.h"
#include "office/OfficeCallWatch.h"
#include "office/OfficeEngine.h"
#include "office/OfficePool.h"
#include "preview/Form2.h"
#include "runfiles/DocumentClaim.h"
#include "runfiles/PartFiles.h"

#include <QApplication>

#include <csignal>

namespace {

// For the test of an end amid a flyer: the program stops itself as an office call whose
// description starts with LUMAREL_TEST_STOP_AT_OFFICE_CALL begins ("setting the text of the
// bookmark"), so that the test ends it there, whatever the machine's speed, and then lets it go
// on.
void stopAtOfficeCallForTests()
{
    const QString at = qEnvironmentVariable("LUMAREL_TEST_STOP_AT_OFFICE_CALL");
    if (at.isEmpty())
        return;
    lumarel::watchOfficeCallsForTests([at](const QString& doing) {
        if (doing.startsWith(at))
            std::raise(SIGSTOP);
    });
}

} // namespace

int main(int argc, char** argv)
{
    // Every page picture, in the preview, the live page or a list's pictures, reuses the memory
    // of the one before.
    lumarel::reuseLargeBlocks();
    // Dates and times, on the flyer and in the window, follow the user's time settings whole.
    QLocale::setDefault(lumarel::timeLocale());
    // The command line needs no display, so it decides before any window system is touched.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (lumarel::cli::wantsCommandLine(arguments))
        return lumarel::cli::commandLineMain(argc, argv);

    QApplication app(argc, argv);
    // The windows' texts, and those of Qt's own dialogs, in the user's language.
    const lumarel::Translations translations;
    // A second start shows the window that runs already and ends; only one window program
    // writes the store, and only one office runs for it.
    lumarel::SingleInstance instance;
    if (instance.passedToRunning())
        return 0;
    lumarel::addProgramEndAction([&instance] { instance.release(); });
    lumarel::useDialogBoxes();
    // A stop signal closes the open window, as the user would: the preview's close removes
    // its document. Caught from here on, before the office starts.
    lumarel::Form1* window = nullptr;
    lumarel::endOnStopSignals([&window](int) {
        if (!window)
            lumarel::endProgram();
        else if (lumarel::Form2* preview = window->shownPreview())
            preview->close();
        else
            window->close();
    });
    // The office starts while the window is built and its values restored.
    lumarel::programOffices().keep(1);
    lumarel::programOffices().replaceWhenGrown(lumarel::kWindowOfficeGrowthLimitKb);
    lumarel::nameApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("lumarel"));
    QGuiApplication::setWindowIcon(lumarel::appIcon());

    // Flyer documents and export folders that earlier runs, killed, left behind.
    lumarel::removeAbandonedExportFolders();
    try {
        lumarel::removeAbandonedDocuments(lumarel::flyerTempFolder());
    } catch (const lumarel::Failure&) {
        // The first flyer run reports what is wrong with the temporary folder.
    }
    lumarel::Form1 form;
    window = &form;
    QObject::connect(&instance, &lumarel::SingleInstance::showRequested, &form, [&form] {
        QWidget* shown = form.shownPreview();
        if (!shown)
            shown = &form;
        if (!shown->isVisible())
            return;
        shown->showNormal();
        shown->raise();
        shown->activateWindow();
    });
    // The office's thread may be connecting when the display goes: the libraries it uses are
    // loaded here, before the handler below, so that exit() destroys them only after it.
    lumarel::OfficeEngine::loadConnectionLibraries();
    // A lost display leaves no window to close: the flyer's document, shown or being made, is
    // removed, and the office ended without a call through its connection, which a flyer's
    // call may be using.
    lumarel::endOnLibraryExit([&form] {
        form.endDocumentClaim();
        lumarel::programOffices().endAfterLibraryExit();
    });
    // The end skips the window's destructor, which would release its document's claim.
    lumarel::addProgramEndAction([&form] { form.endDocumentClaim(); });
    stopAtOfficeCallForTests();
    form.Form_Load();
    const int code = app.exec();
    lumarel::endProgram(code);
    return code;
}
