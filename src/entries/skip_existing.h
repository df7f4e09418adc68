// "Skip entries that are already in the book": the option of the imports.
//
// An import's dialog shows the check box (MakeSkipExistingBox), ticked as
// the last import left it (RememberedSkipExisting, [Import] "SkipExisting"
// while "RememberImp" is on); after OK the import remembers the choice
// (RememberSkipExisting) and, when ticked, reads the file with an
// addressbook::CExistingEntries of the book, which leaves out what the book
// holds; the report says "312 addresses imported. 12 already in the book
// were skipped."  The vCard import asks in "Import vCard" (CVCardImportDlg),
// the header-matched delimited import in "Select Fields".
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
