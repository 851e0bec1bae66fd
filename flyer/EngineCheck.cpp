#include "flyer/EngineCheck.h"

#include "app/Dialogs.h"
#include "app/ProgramEnd.h"
#include "flyer/ReadyOffice.h"

#include <QStringList>

namespace lumarel {

QString engineAdvice()
{
    const QStringList advice{
        QStringLiteral("Error 842001. A normal instance of Word could not be created."),
        QStringLiteral("1. Please make sure Word is installed on this computer."),
        QStringLiteral("2. Please open Word normally and make sure a blank document opens "
                       "immediately without any interrupting window (such as an Word file "
                       "recovery window)."),
        QStringLiteral("3. Please make sure that when you double-click on a DOC or DOCX file that "
                       "Word opens normally without any interrupting messages."),
        QStringLiteral("4. All versions of Word are supported by this software except for the rare "
                       "Word Starter and Student editions."),
    };
    return advice.join(QStringLiteral("\r\n\r\n"));
}

bool CheckWordInstalled()
{
    // The office started in the background at the program's start counts once it is connected;
    // it stays, ready for the first flyer. Whatever goes wrong on the way means no office.
    try {
        if (ReadyOffice::waitUntilConnected().isEmpty())
            return true;
    } catch (...) {
    }
    Dialogs::message(QString(), engineAdvice(), MessageIcon::None, MessageButtons::Ok);
    endProgram();
    return false;
}

} // namespace lumarel
