#pragma once

namespace lumarel {

class OfficeEngine;

// Opens the flyer template in `office` (read-only, its Word 97 import repaired, its bookmarks
// looked up) ahead of the next flyer, as a flyer run opens it, for ReadyOffice::prepareWith().
// Only for the default design, and only when the temporary folder is free and holds no template
// copy: a copy left there is for the next run to use as it is. Returns whether the template is open; throws
// Failure when the office fails.
bool openTemplateAhead(OfficeEngine& office);

} // namespace lumarel
