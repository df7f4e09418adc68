// The standard report of a failed file operation, shown as an error message
// box: "Access to /home/ann/home.qxd was denied.", or with "an unnamed file"
// when the failing code did not know the file's name.
#pragma once

#include <QString>

class QWidget;

namespace platform {

// The report text for a system error number (errno) and a file name.
QString FileErrorText(int errorNumber, const QString& fileName = {});

// Shows FileErrorText in an error message box with an OK button.
void ReportFileError(int errorNumber, const QString& fileName = {}, QWidget* parent = nullptr);

}  // namespace platform
