#pragma once

#include <QString>

#include <functional>

namespace lumarel {

class OfficeEngine;
class OfficeLoan;

// The window's office: one of the program's offices (programOffices()), started in the
// background and kept ready between uses, so that nobody waits for an office to start. Between
// uses the office holds no document, or only what the preparation (prepareWith()) left in it.
// Everything here is called from the user-interface thread, which keeps its events flowing
// while it waits.
namespace ReadyOffice {

// Starts an office in the background unless one is starting or running. Never throws.
void start();
// Waits until the office is connected (starting one when none is); returns the reason why it
// could not be started, or an empty text when it is connected. Never throws.
QString waitUntilConnected();
// The ready office, for a "create" step: waits for a start in progress, and replaces an office
// that ended or no longer answers, or one whose start failed. The steps of one use share the
// office it gives until it is given back. Throws Failure when no office can be started.
OfficeEngine& take();
// After a use: the documents the office still holds are closed. An office that failed during
// the use, or does not close them, is ended, and a new one is started in the background.
void giveBack(bool failed);
// Ends every office at once and waits for their threads. Never throws.
void end();
// The same, once a library has called exit(): the connections' objects may be gone with the
// libraries' own end, so the offices are ended without another call through them.
void endAfterLibraryExit();

// Work that readies the office for its next use (the flyer template opened), done while
// nobody uses it: from the event loop, soon after this call and after each giveBack(), so that
// the first flyer of a session finds it done too. It returns whether it left something in the
// office; a failure leaves nothing, and the work is not tried again before the next
// giveBack(). Null stops the preparing.
void prepareWith(std::function<bool(OfficeEngine&)> work);
// Whether the office that take() gave last holds what the preparation left, unused; true once:
// the caller takes it over. An office replaced since holds nothing of it.
bool takePrepared(const OfficeEngine& office);

// The ready office as a loan: take(), giveBack() and takePrepared() above.
OfficeLoan& loan();

} // namespace ReadyOffice

} // namespace lumarel
