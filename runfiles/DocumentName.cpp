#include "runfiles/DocumentName.h"

#include "app/AppServices.h"

namespace lumarel {

DocumentNamer::DocumentNamer() : m_generator(QRandomGenerator::securelySeeded()) {}

DocumentNamer::DocumentNamer(quint32 seed) : m_generator(seed) {}

QString DocumentNamer::drawName()
{
    QString name = QStringLiteral("qtemar");
    for (int i = 0; i < 8; ++i)
        name += QChar(u'0' + m_generator.bounded(1, 10));
    return name + QStringLiteral(".doc");
}

QString DocumentNamer::freePath(const QString& folder)
{
    for (;;) {
        const QString path = folder + QLatin1Char('/') + drawName();
        if (!FileExists(path))
            return path;
    }
}

} // namespace lumarel
