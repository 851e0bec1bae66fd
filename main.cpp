// The program: the window, or the command line when the arguments ask for it.
#include "app/AppServices.h"
#include "cli/CommandLine.h"
#include "details/Form1.h"
#include "flyer/ReadyOffice.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The command line needs no display, so it decides before any window system is touched.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (lumarel::cli::wantsCommandLine(arguments))
        return lumarel::cli::commandLineMain(argc, argv);

    QApplication app(argc, argv);
    // The office starts while the window is built and its values restored.
    lumarel::ReadyOffice::start();
    lumarel::nameApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("lumarel"));
    QGuiApplication::setWindowIcon(lumarel::appIcon());

    lumarel::Form1 form;
    form.Form_Load();
    return app.exec();
}
