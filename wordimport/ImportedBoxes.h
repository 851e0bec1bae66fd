#pragma once

#include "word97/WordParagraphs.h"
#include "word97/WordShapes.h"

#include <QHash>
#include <QList>

#include <com/sun/star/drawing/XShape.hpp>

namespace lumarel {

// Which of the import's drawing shapes (`shapes`, in the order of the page) shows each of the
// Word 97 file's text boxes in `boxes` (by their index among the file's boxes); a box with no
// shape found is left out. Runs inside a call to the office.
QHash<int, int> shapesOfBoxes(const QList<css::uno::Reference<css::drawing::XShape>>& shapes,
                              const QList<int>& boxes, const QList<WordShape>& fileShapes,
                              const WordParagraphs& fileParagraphs);

} // namespace lumarel
