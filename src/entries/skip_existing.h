// "Skip entries that are already in the book": the option of the imports.
//
// An import's dialog shows the check box (MakeSkipExistingBox), ticked as
// the last import left it (RememberedSkipExisting, [Import] "SkipExisting"
// while "RememberImp" is on); after OK the import remembers the choice
// (RememberSkipExisting) and, when ticked, calls
// addressbook::SkipEntriesAlreadyIn(*services.list, staged) between reading
// the file and adding the rows, and reports with
// addressbook::ImportSummaryText(added, skipped): "312 addresses imported.
// 12 already in the book were skipped."  The vCard import does so in
// "Import vCard" (CVCardImportDlg); the delimited import can do the same in
// "Select Fields".
#pragma once

class QCheckBox;
class QWidget;

namespace platform {
class IProfile;
}

namespace entries {

// The check box (object name "SkipExisting"), unticked.
QCheckBox* MakeSkipExistingBox(QWidget* parent);

// The remembered choice: off while "RememberImp" is off.
bool RememberedSkipExisting(const platform::IProfile& profile);
// Remembers `skip` while "RememberImp" is on.
void RememberSkipExisting(platform::IProfile& profile, bool skip);

}  // namespace entries
