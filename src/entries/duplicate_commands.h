// Address / "Find &Duplicates..." (kCmdAddressFindDuplicates): finds the
// entries of the list that probably describe the same person
// (addressbook::FindDuplicates) and shows them in "Find Duplicates"
// (CDuplicatesDlg), where each group can be merged into one entry.  Each
// press of Merge or Merge All is one step of the undo history; a merged
// entry takes the row of the group's first entry and keeps every text the
// group held.  A list without duplicates says "No duplicate entries were
// found."
#pragma once

#include <vector>

#include "entries/entry_services.h"

namespace platform {
class CommandTarget;
}

namespace entries {

struct DuplicateMerge;

class CDuplicateCommands {
public:
    explicit CDuplicateCommands(EntryServices services) : m_services(std::move(services)) {}

    void OnFindDuplicates();
    // Merges each group into one entry, all as one undo step.
    void Merge(std::vector<DuplicateMerge> merges);

    // Registers the command; it is enabled while the list has rows.
    void Register(platform::CommandTarget& target);

private:
    EntryServices m_services;
};

}  // namespace entries
