#pragma once

namespace lumarel {

// Puts the real message boxes and file dialogs in place of the dialog service's text output;
// called once a QApplication exists.
void useDialogBoxes();

} // namespace lumarel
