#pragma once

#include <QHash>
#include <QString>

namespace lumarel {

// Writes each field of the event record through to the settings store the moment its value
// changes. A write that fails is reported once; further failures stay quiet until a write
// succeeds again, so a broken store does not raise a box at every keystroke. What the store
// has to tell after a write (a damaged file kept under another name) is shown once.
class FieldWriter
{
public:
    // The value a field holds now, without writing it.
    void hold(const QString& key, const QString& value);
    QString held(const QString& key) const { return m_held.value(key); }

    // The field now holds `value`: stores it unless the field held exactly that already.
    void changed(const QString& key, const QString& value);

    bool failing() const { return m_failing; }
    // Tells at once what is wrong with the store (a file that cannot be read), so that the
    // user knows before typing; a write that then fails for the same cause stays quiet.
    void tellStoreProblem();

    static QString failureText(const QString& description);

private:
    QHash<QString, QString> m_held;
    bool m_failing = false;
};

} // namespace lumarel
