#include "StepTrap.h"

#include "Dialogs.h"
#include "Failure.h"

#include <QCoreApplication>

#include <exception>

namespace lumarel {

namespace {

StepTrap::StepWatcher& stepWatcher()
{
    static StepTrap::StepWatcher watcher;
    return watcher;
}

} // namespace

void StepTrap::watchStepsForTests(StepWatcher watcher)
{
    stepWatcher() = std::move(watcher);
}

void StepTrap::announceStep(int line) const
{
    if (!stepWatcher())
        return;
    const StepWatcher watcher = stepWatcher(); // it may remove itself
    watcher(m_location, line);
}

QString describeCurrentException()
{
    try {
        throw;
    } catch (const Failure& failure) {
        return failure.description();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unexpected error");
    }
}

QString StepTrap::supportAddress()
{
    return QStringLiteral("support@lumarel.example");
}

QString StepTrap::messageText(const QString& description, const QString& location, int line)
{
    return description + QStringLiteral("\r\n") + location +
           QCoreApplication::translate("lumarel::StepTrap", "at line ") + QString::number(line) +
           QCoreApplication::translate("lumarel::StepTrap",
                                       "\r\rPlease email screenshot of this message to ") +
           supportAddress();
}

void StepTrap::reportCurrent(int line)
{
    ++m_failures;
    const QString text = messageText(describeCurrentException(), m_location, line);
    Dialogs::message(QCoreApplication::translate("lumarel::StepTrap", "Application Error"), text,
                     MessageIcon::Warning, MessageButtons::Ok);
}

QString locationText(const char* window, const char* procedure)
{
    return QStringLiteral("in Ostrevan2021/08/31.%1.%2 ")
        .arg(QLatin1String(window), QLatin1String(procedure));
}

} // namespace lumarel
