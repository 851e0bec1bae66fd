#pragma once

#include <QByteArray>
#include <QString>

namespace lumarel {

// The flyer template the program carries inside itself, byte for byte.
QByteArray embeddedTemplate();

// template.dot in the temporary folder (flyerTempFolder()): where a flyer run puts its copy of the
// template.
QString templateCopyPath();
// design.<ending> beside it: where a run puts its copy of any other design.
QString designCopyPath(const QString& ending);

} // namespace lumarel
