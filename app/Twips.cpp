#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace lumarel {

double Twips::screenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

} // namespace lumarel
