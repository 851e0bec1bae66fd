#pragma once

#include <QString>

#include <functional>

namespace lumarel {

// Called as each office call starts, on the thread that makes it, with what the call does as
// its failure would name it ("storing a copy as \"/tmp/f.doc\""), before the office is asked:
// a test strikes the office there, amid the call it names, however fast the office is. An
// empty function removes it.
void watchOfficeCallsForTests(std::function<void(const QString& doing)> watcher);
// Tells the watcher, if there is one, that a call starts.
void announceOfficeCall(const QString& doing);

} // namespace lumarel
