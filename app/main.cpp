#include "app/AppServices.h"
#include "details/Form1.h"
#include "flyer/ReadyOffice.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The office starts while the window is built and its values restored.
    lumarel::ReadyOffice::start();
    QCoreApplication::setOrganizationName(lumarel::kMakerName);
    QCoreApplication::setApplicationName(lumarel::kProductName);
    QCoreApplication::setApplicationVersion(lumarel::kVersion);
    QGuiApplication::setDesktopFileName(QStringLiteral("lumarel"));
    QGuiApplication::setWindowIcon(lumarel::appIcon());

    lumarel::Form1 form;
    form.Form_Load();
    return app.exec();
}
