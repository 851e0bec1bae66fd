#include "designs/FlyerTemplate.h"

#include "app/Failure.h"
#include "app/TempFolder.h"

#include <QFile>

namespace lumarel {

QByteArray embeddedTemplate()
{
    QFile resource(QStringLiteral(":/template.dot"));
    if (!resource.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("The flyer template is missing from the program."));
    return resource.readAll();
}

QString templateCopyPath(const QString& folder)
{
    return (folder.isEmpty() ? flyerTempFolder() : folder) + QStringLiteral("/template.dot");
}

QString designCopyPath(const QString& ending, const QString& folder)
{
    return (folder.isEmpty() ? flyerTempFolder() : folder) + QStringLiteral("/design.") +
           ending.toLower();
}

} // namespace lumarel
