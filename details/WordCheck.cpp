#include "details/WordCheck.h"

#include "app/Dialogs.h"
#include "app/ProgramEnd.h"
#include "flyer/EngineCheck.h"
#include "office/OfficeProfile.h"

namespace lumarel {

bool CheckWordInstalled()
{
    QString reason;
    if (engineAvailable(&reason))
        return true;
    // A cache folder that cannot be written is no matter of installing the office.
    const QString problem = cacheFolderProblem();
    Dialogs::message(QString(), problem.isEmpty() ? engineAdvice() : problem, MessageIcon::None,
                     MessageButtons::Ok, problem.isEmpty() ? reason : QString());
    endProgram();
    return false;
}

} // namespace lumarel
