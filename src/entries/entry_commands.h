// The entry commands of the address list: Add (kCmdAddressAdd), Edit
// (kCmdAddressEdit), Copy (kCmdAddressCopy) and Delete (kCmdAddressDelete).
//
// Add, Edit and Copy show the editor sheet (CPropInfo).  Every completed
// change goes through the undo history, which also marks the book modified.
// The current entry is the row with the keyboard focus.
#pragma once

#include <vector>

#include "addressbook/address_entry.h"
#include "entries/entry_services.h"

namespace platform {
class CommandTarget;
}

namespace entries {

class CPropInfo;

class CEntryCommands {
public:
    explicit CEntryCommands(EntryServices services) : m_services(std::move(services)) {}

    // Sheet "Add a New Entry", filled with the defaults of [Preferences]
    // ("DefaultPrefix" goes into Home Phone only).  On OK a new entry is
    // appended, the sort re-applied and the new row selected.
    void OnAdd();
    // Sheet "Edit an Existing Entry" showing the focused entry.  On OK the
    // entry's fields are replaced (even when nothing changed; its extra data
    // stays), the row keeps the focus through the sort and is shown at its
    // new place.
    void OnEdit();
    // Sheet "Copy an Existing Entry" showing the focused entry with " - Copy"
    // appended to its last name.  On OK a new entry is added as by Add, with
    // the source's extra data except its identity (CopyWithoutIdentity); the
    // source entry never changes.
    void OnCopy();
    // Asks "Are you sure you wish to delete the selected address?" (Yes/No,
    // no icon) while "ConfirmDelete" is on, then deletes the focused entry.
    // With more than one row selected it deletes them all instead
    // (OnDeleteSelected).
    void OnDelete();
    // Asks "Delete the 12 selected entries?" (Yes/No, no icon) while
    // "ConfirmDelete" is on, then deletes the entries of `rows` as one step
    // of the undo history.
    void OnDeleteSelected(const std::vector<int>& rows);

    // Registers the four commands.
    void Register(platform::CommandTarget& target);

private:
    // Appends `base` with the sheet's fields as a new row, selected (Add
    // and Copy).
    void AddFromSheet(const CPropInfo& sheet, int commandId, addressbook::CAddressEntry base);
    // True when "ConfirmDelete" is off or the user answers Yes to `question`.
    bool ConfirmDelete(const QString& question) const;

    EntryServices m_services;
};

}  // namespace entries
