#include "details/Form1.h"

#include "app/AppServices.h"
#include "app/ProgramEnd.h"
#include "app/StepTrap.h"
#include "flyer/EngineCheck.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace lumarel {

Form1::Form1(QWidget* parent) : QWidget(parent), m_pointer(this)
{
    setObjectName(QStringLiteral("Form1"));
}

void Form1::Form_Load()
{
    StepTrap trap(locationText("Form1", "Form_Load"));
    trap.step(100, [&] { ApplySkin(this); });
    trap.step(104, [&] {
        setWindowTitle(kProductName);
        setWindowIcon(appIcon());
        SetAppTitle();
    });
    const QString cursorPath = programFolder() + kHandCursorFile;
    if (trap.test(106, [&] { return FileExists(cursorPath); }))
        trap.step(108, [&] { m_pointer.setCustomImage(loadCursorFile(cursorPath)); });

    // Steps 128 to 144 restore the event record.

    bool engineAvailable = true;
    trap.step(146, [&] { engineAvailable = CheckWordInstalled(); });
    if (!engineAvailable)
        return;

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    endProgram();
}

} // namespace lumarel
