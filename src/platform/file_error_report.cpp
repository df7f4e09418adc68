#include "platform/file_error_report.h"

#include "platform/dialogs.h"
#include "resources/file_errors.h"

namespace platform {

QString FileErrorText(int errorNumber, const QString& fileName) {
    return QString::fromStdString(
        resources::FileErrorReportForErrno(errorNumber, fileName.toStdString()));
}

void ReportFileError(int errorNumber, const QString& fileName, QWidget* parent) {
    ShowMessageBox(FileErrorText(errorNumber, fileName), MessageIcon::kError, MessageButtons::kOk,
                   parent);
}

}  // namespace platform
