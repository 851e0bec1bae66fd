#pragma once

#include <QRandomGenerator>
#include <QString>

namespace lumarel {

// Names for the generated flyer documents: "qtemar", eight digits from 1 to 9, ".doc".
class DocumentNamer
{
public:
    // Seeded once, from the system's entropy source.
    DocumentNamer();
    // A fixed seed gives a repeatable series of names.
    explicit DocumentNamer(quint32 seed);

    // A name of the series.
    QString drawName();
    // The full path of a document name in `folder` at which no file exists yet; names that are
    // taken are drawn again.
    QString freePath(const QString& folder);

private:
    QRandomGenerator m_generator;
};

} // namespace lumarel
