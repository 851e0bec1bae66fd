#pragma once

#include <QByteArray>
#include <QString>

namespace lumarel {

// The flyer template the program carries inside itself, byte for byte.
QByteArray embeddedTemplate();

// TEMP/template.dot: where a flyer run puts its copy of the template.
QString templateCopyPath();
// TEMP/design.<ending>: where a run puts its copy of any other design.
QString designCopyPath(const QString& ending);

} // namespace lumarel
