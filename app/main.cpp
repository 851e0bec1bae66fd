#include "app/AppServices.h"
#include "details/Form1.h"
#include "flyer/ReadyOffice.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The office starts while the window is built and its values restored.
    lumarel::ReadyOffice::start();
    QCoreApplication::setOrganizationName(lumarel::kMakerName);
    QCoreApplication::setApplicationName(lumarel::kProductName);
    QCoreApplication::setApplicationVersion(lumarel::kVersion);
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Makes a one-page event flyer."));
    options.addHelpOption();
    options.addVersionOption();
    options.process(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("lumarel"));
    QGuiApplication::setWindowIcon(lumarel::appIcon());

    lumarel::Form1 form;
    form.Form_Load();
    return app.exec();
}
