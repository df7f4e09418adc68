#include "shell/shell_dialogs.h"

#include "platform/dialogs.h"

namespace shell {

void ReportWarning(QWidget* parent, const QString& text) {
    platform::ShowMessageBox(text, platform::MessageIcon::kWarning, platform::MessageButtons::kOk,
                             parent);
}

void ReportInformation(QWidget* parent, const QString& text) {
    platform::ShowMessageBox(text, platform::MessageIcon::kInformation,
                             platform::MessageButtons::kOk, parent);
}

void ReportError(QWidget* parent, const QString& text) {
    platform::ShowMessageBox(text, platform::MessageIcon::kError, platform::MessageButtons::kOk,
                             parent);
}

}  // namespace shell
