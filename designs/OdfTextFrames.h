#pragma once

#include <QString>

namespace lumarel {

// The office imports an OpenDocument text frame whose style does not descend from its "Frame"
// style as a drawing shape, and the bookmarks in the frame's text are dropped with it. Gives the
// style of each frame that holds text in the OpenDocument file at `path` that parent, in place;
// any other file is left as it is. Throws Failure naming the file.
void keepOpenDocumentTextFrames(const QString& path);

} // namespace lumarel
