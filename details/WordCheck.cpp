#include "details/WordCheck.h"

#include "app/Dialogs.h"
#include "app/ProgramEnd.h"
#include "flyer/EngineCheck.h"

namespace lumarel {

bool CheckWordInstalled()
{
    if (engineAvailable())
        return true;
    Dialogs::message(QString(), engineAdvice(), MessageIcon::None, MessageButtons::Ok);
    endProgram();
    return false;
}

} // namespace lumarel
