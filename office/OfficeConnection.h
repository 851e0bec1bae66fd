#pragma once

#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

#include <memory>
#include <optional>

namespace lumarel {

class OfficeProcess;

// Prepares this program's side of the connection; call it from the main thread before an
// office is started on another thread.
void prepareUnoConnection();

// Makes the local end of the connection and loads the libraries that connecting uses, in this
// thread, now. A handler registered with atexit() after this runs before their static objects
// are destroyed, so that an exit() while another thread is connecting finds them whole. Never
// throws: a failure is reported when an office is started.
void loadConnectionLibraries();

// The local end of the UNO connection, made once per program from the office's own setup.
// Throws Failure.
com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> localContext();

// What waiting for an office's pipe came to: its context once reached, or the exit code of the
// process that ended before.
struct OfficeReached
{
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context;
    std::optional<int> exitCode;
};
// Tries the office's pipe until it answers or the process ends; runs inside a timed call, and
// shares the process with it.
OfficeReached reachOffice(const QString& pipeName, std::shared_ptr<const OfficeProcess> process);

// The office runs its graphics self-tests (over three seconds) at every start until its profile
// records this version as seen, and only a start with a user interface records it. The base
// profile records it once, so that the instances copied from it start without the tests. An
// office whose settings are laid out otherwise just keeps its slower start.
void markVersionSeen(
    const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& context);

// Keeps the office from loading what a document links to on other machines (pictures, objects,
// linked sections): a design passed around would otherwise make every flyer fetch it, a
// tracking picture or a request into the user's network. Set in the base profile, which every
// instance copies. Throws Failure when the office has no such setting.
void blockRemoteContent(
    const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext>& context);

} // namespace lumarel
