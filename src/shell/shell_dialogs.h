// Message boxes of the shell, shown through the program's dialog seam so that
// tests can answer and inspect them.
#pragma once

#include <QString>

class QWidget;

namespace shell {

// A message box with the exclamation (warning) icon and an OK button.
void ReportWarning(QWidget* parent, const QString& text);
// A message box with the information icon and an OK button.
void ReportInformation(QWidget* parent, const QString& text);
// A message box with the error (stop) icon and an OK button.
void ReportError(QWidget* parent, const QString& text);

}  // namespace shell
