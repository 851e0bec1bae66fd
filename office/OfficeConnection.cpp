#include "office/OfficeConnection.h"

#include "app/Failure.h"
#include "office/OfficeProcess.h"
#include "office/UnoValues.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QMutex>
#include <QThread>

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/connection/ConnectionSetupException.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <csignal>
#include <sys/stat.h>

namespace css = com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace lumarel {

void prepareUnoConnection()
{
    // A request written to an office that has just died must come back from the bridge as an
    // error, not end this program with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
        qputenv("URE_BOOTSTRAP",
                "vnd.sun.star.pathname:" LUMAREL_OFFICE_PROGRAM_DIR "/fundamentalrc");
}

void loadConnectionLibraries()
{
    try {
        const Reference<css::uno::XComponentContext> context = localContext();
        // Instantiating the services loads their libraries.
        css::connection::Connector::create(context);
        css::bridge::BridgeFactory::create(context);
        css::bridge::UnoUrlResolver::create(context);
    } catch (const Failure&) {
    } catch (const css::uno::Exception&) {
    }
}

Reference<css::uno::XComponentContext> localContext()
{
    static QMutex mutex;
    static Reference<css::uno::XComponentContext> context;
    QMutexLocker lock(&mutex);
    if (context.is())
        return context;
    prepareUnoConnection();
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const cppu::BootstrapException& e) {
        throw Failure(QStringLiteral("The connection to the office could not be prepared: %1")
                          .arg(fromUno(e.getMessage())));
    } catch (const css::uno::Exception& e) {
        throw Failure(QStringLiteral("The connection to the office could not be prepared: %1")
                          .arg(officeMessage(e)));
    }
    return context;
}

namespace {

// Whether the office's pipe of this name has its socket file.
bool pipeListening(const QString& pipeName)
{
    struct stat info;
    for (const QString& socket : officePipeSockets(pipeName))
        if (stat(QFile::encodeName(socket).constData(), &info) == 0 && S_ISSOCK(info.st_mode))
            return true;
    return false;
}

} // namespace

OfficeReached reachOffice(const QString& pipeName, std::shared_ptr<const OfficeProcess> process)
{
    const rtl::OUString url =
        toUno(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName));
    Reference<css::bridge::XUnoUrlResolver> resolver =
        css::bridge::UnoUrlResolver::create(localContext());
    for (;;) {
        try {
            Reference<css::uno::XComponentContext> context(resolver->resolve(url), UNO_QUERY_THROW);
            return {context, std::nullopt};
        } catch (const css::connection::NoConnectException&) {
        } catch (const css::connection::ConnectionSetupException&) {
        }
        // The process is checked after a failed attempt: an office that quit right after
        // accepting still counts as reached.
        if (auto code = process->exitCode())
            return {nullptr, code};
        // The pipe's socket appears the moment the office accepts: watched closely, it is tried
        // as soon as it is there, not at the next of coarser attempts.
        const QDeadlineTimer nextAttempt(25);
        do
            QThread::msleep(1);
        while (!pipeListening(pipeName) && !nextAttempt.hasExpired());
    }
}

void markVersionSeen(const Reference<css::uno::XComponentContext>& context)
try {
    const Reference<css::lang::XMultiServiceFactory> provider =
        css::configuration::theDefaultProvider::get(context);
    const css::uno::Any node(css::beans::NamedValue(
        rtl::OUString("nodepath"), css::uno::Any(rtl::OUString("/org.openoffice.Setup/Product"))));
    const Reference<css::container::XNameReplace> product(
        provider->createInstanceWithArguments(
            rtl::OUString("com.sun.star.configuration.ConfigurationUpdateAccess"),
            css::uno::Sequence<css::uno::Any>(&node, 1)),
        UNO_QUERY);
    const Reference<css::util::XChangesBatch> changes(product, UNO_QUERY);
    if (!changes.is())
        return;
    product->replaceByName(rtl::OUString("ooSetupLastVersion"),
                           product->getByName(rtl::OUString("ooSetupVersion")));
    changes->commitChanges();
} catch (const css::uno::RuntimeException&) {
    throw; // the office itself failed
} catch (const css::uno::Exception&) {
}

void blockRemoteContent(const Reference<css::uno::XComponentContext>& context)
try {
    const Reference<css::lang::XMultiServiceFactory> provider =
        css::configuration::theDefaultProvider::get(context);
    const css::uno::Any node(css::beans::NamedValue(
        rtl::OUString("nodepath"),
        css::uno::Any(rtl::OUString("/org.openoffice.Office.Common/Security/Scripting"))));
    const Reference<css::container::XNameReplace> security(
        provider->createInstanceWithArguments(
            rtl::OUString("com.sun.star.configuration.ConfigurationUpdateAccess"),
            css::uno::Sequence<css::uno::Any>(&node, 1)),
        UNO_QUERY_THROW);
    // Links count as untrusted from any document outside the trusted locations, which this
    // profile has none of.
    security->replaceByName(rtl::OUString("BlockUntrustedRefererLinks"), css::uno::Any(true));
    Reference<css::util::XChangesBatch>(security, UNO_QUERY_THROW)->commitChanges();
} catch (const css::uno::RuntimeException&) {
    throw; // the office itself failed
} catch (const css::uno::Exception& e) {
    throw Failure(QStringLiteral("The office cannot be kept from loading linked content from the "
                                 "web (%1); please install a newer LibreOffice.")
                      .arg(officeMessage(e)));
}

} // namespace lumarel
