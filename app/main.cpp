#include "app/AppServices.h"
#include "details/Form1.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(lumarel::kMakerName);
    QCoreApplication::setApplicationName(lumarel::kProductName);
    QCoreApplication::setApplicationVersion(lumarel::kVersion);
    QGuiApplication::setDesktopFileName(QStringLiteral("lumarel"));
    QGuiApplication::setWindowIcon(lumarel::appIcon());

    lumarel::Form1 form;
    form.Form_Load();
    return app.exec();
}
