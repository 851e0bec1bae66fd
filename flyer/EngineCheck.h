#pragma once

#include <QString>

namespace lumarel {

// Makes sure at start-up that an office instance can be created. When it cannot, shows the
// advice message and ends the program; returns whether the program may go on.
bool CheckWordInstalled();

// What the user is told when no office instance can be created; paragraphs end in CR LF CR LF.
QString engineAdvice();

} // namespace lumarel
