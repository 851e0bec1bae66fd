#pragma once

#include "flyer/BookmarkTexts.h"

#include <QString>
#include <QStringList>

namespace lumarel {

// The characters of `text` that no font the office may use can draw, each once, in the order
// they first appear. Spaces, controls, format characters and variation selectors draw nothing
// of their own and are never listed.
QString undrawableCharacters(const QString& text);

// One notice for each field of the flyer with characters that no font can draw, naming the
// field and the characters with their code points; the flyer shows them as empty boxes.
QStringList undrawableCharacterNotices(const FlyerFields& fields);

// Everything said of a flyer that was made: a page overflow first (see pageOverflowText), then
// the fields whose text did not fit its place (named by their bookmarks in `unfitted`) or mixes
// directions where they cannot be shown together (`mixedDirections`), then the characters no
// font draws.
QStringList flyerNotices(const FlyerFields& fields, int pages, const QStringList& unfitted,
                         const QStringList& mixedDirections = {}, bool pictureOnly = false);

} // namespace lumarel
