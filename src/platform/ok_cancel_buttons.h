// The OK and Cancel buttons of a dialog, named by their control ids (kIdOk,
// kIdCancel) so that tests find them, and wired to the dialog's accept()
// and reject() (overrides included).
#pragma once

class QDialog;
class QDialogButtonBox;

namespace platform {

// A button box owned by `dialog`; the caller places it in a layout.
QDialogButtonBox* MakeOkCancelButtons(QDialog& dialog);

}  // namespace platform
