#pragma once

#include <QString>

namespace lumarel {

// Whether an office instance can be created, checked at start-up: the office started in the
// background counts once it is connected, and stays ready for the first flyer. When it cannot,
// `reason` gets why, in plain words.
bool engineAvailable(QString* reason = nullptr);

// What the user is told when no office instance can be created; paragraphs end in CR LF CR LF.
QString engineAdvice();

} // namespace lumarel
