#include "details/FieldWriter.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "app/SettingsStore.h"

#include <QCoreApplication>

namespace lumarel {

void FieldWriter::hold(const QString& key, const QString& value)
{
    m_held.insert(key, value);
}

void FieldWriter::changed(const QString& key, const QString& value)
{
    const auto it = m_held.constFind(key);
    if (it != m_held.cend() && *it == value)
        return;
    m_held.insert(key, value);

    QString description;
    try {
        SettingsStore::save(key, value);
        m_failing = false;
        if (const QString notice = SettingsStore::takeNotice(); !notice.isEmpty())
            Dialogs::notice(notice);
        return;
    } catch (const Failure& failure) {
        description = failure.description();
    } catch (const std::exception& error) {
        description = QString::fromLocal8Bit(error.what());
    }
    if (m_failing)
        return;
    m_failing = true;
    // A modal box here would take the next keystroke from the field being typed into.
    Dialogs::notice(failureText(description));
}

void FieldWriter::tellStoreProblem()
{
    const QString problem = SettingsStore::readProblem();
    if (problem.isEmpty())
        return;
    const bool refused = SettingsStore::refusesWrites();
    m_failing = refused;
    Dialogs::message(
        QString(),
        problem + (refused ? QCoreApplication::translate(
                                 "lumarel::FieldWriter",
                                 "\n\nThe fields are empty, and what you type is not saved: the "
                                 "file is left as it is until it can be read or is moved away.")
                           : QCoreApplication::translate(
                                 "lumarel::FieldWriter",
                                 "\n\nThe fields show what could be read. The file as it is will "
                                 "be kept beside it before the first change is saved.")),
        MessageIcon::Warning, MessageButtons::Ok);
}

QString FieldWriter::failureText(const QString& description)
{
    return QCoreApplication::translate("lumarel::FieldWriter",
                                       "The event details could not be saved.\n\n%1")
        .arg(description);
}

} // namespace lumarel
