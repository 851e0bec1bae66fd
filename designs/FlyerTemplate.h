#pragma once

#include <QByteArray>
#include <QString>

namespace lumarel {

// The flyer template the program carries inside itself, byte for byte.
QByteArray embeddedTemplate();

// template.dot in `folder`, the temporary folder (flyerTempFolder()) unless one is given: where a
// flyer run puts its copy of the template.
QString templateCopyPath(const QString& folder = QString());
// design.<ending> beside it: where a run puts its copy of any other design.
QString designCopyPath(const QString& ending, const QString& folder = QString());

} // namespace lumarel
