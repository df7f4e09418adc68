#include "entries/entry_commands.h"

#include <memory>
#include <new>
#include <vector>

#include "addressbook/entry_identity.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "entries/prop_info.h"
#include "platform/command_router.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace entries {

using namespace addressbook;

namespace {

struct DefaultField {
    const settings::StringSetting* key;
    int field;
};

// The data a new entry starts with.  "DefaultPrefix" is the area code of
// the home phone only.
const DefaultField kDefaults[] = {
    {&settings::kDefaultCity, City},        {&settings::kDefaultCountry, Country},
    {&settings::kDefaultComp, Company},     {&settings::kDefaultEmail, Email1},
    {&settings::kDefaultPrefix, HomePhone}, {&settings::kDefaultState, State},
    {&settings::kDefaultWeb, Web1},         {&settings::kDefaultZip, ZipCode},
};

}  // namespace

void CEntryCommands::AddFromSheet(const CPropInfo& sheet, int commandId, CAddressEntry base) {
    std::vector<std::unique_ptr<CAddressEntry>> added;
    try {
        added.push_back(std::make_unique<CAddressEntry>(std::move(base)));
    } catch (const std::bad_alloc&) {
        return;  // out of memory: the command ends without a change
    }
    sheet.StoreToEntry(*added.front());
    m_services.undo->AddEntries(UndoText(commandId), std::move(added), true);
}

void CEntryCommands::OnAdd() {
    CPropInfo sheet(resources::kStrAddEntryCaption, m_services.DialogParent());
    for (const DefaultField& item : kDefaults) {
        sheet.Member(item.field) = FromUtf8(ReadSetting(*m_services.profile, *item.key));
    }
    sheet.UpdateBoxes();
    if (m_services.RunDialog(sheet) != QDialog::Accepted) {
        return;
    }
    AddFromSheet(sheet, resources::kCmdAddressAdd, CAddressEntry());
}

void CEntryCommands::OnEdit() {
    IEntryListUi& list = *m_services.list;
    const int row = list.FocusedRow();
    if (row < 0) {
        return;
    }
    CPropInfo sheet(resources::kStrEditEntryCaption, m_services.DialogParent());
    sheet.LoadFromEntry(list.EntryAt(row));
    if (m_services.RunDialog(sheet) != QDialog::Accepted) {
        return;
    }
    // The row is looked up again: nothing may have moved it while the sheet
    // was open, but the entry is what counts.
    CAddressEntry edited = list.EntryAt(row);
    sheet.StoreToEntry(edited);
    m_services.undo->ReplaceEntry(UndoText(resources::kCmdAddressEdit), row, std::move(edited),
                                  true);
}

void CEntryCommands::OnCopy() {
    IEntryListUi& list = *m_services.list;
    const int row = list.FocusedRow();
    if (row < 0) {
        return;
    }
    // The copy keeps what the entry holds beyond its fields, but not its
    // identity: it is another contact.
    CAddressEntry copy = CopyWithoutIdentity(list.EntryAt(row));
    CPropInfo sheet(resources::kStrCopyEntryCaption, m_services.DialogParent());
    sheet.LoadFromEntry(copy);
    sheet.Member(LastName) += ResourceString(resources::kStrCopySuffix);
    sheet.UpdateBoxes();
    if (m_services.RunDialog(sheet) != QDialog::Accepted) {
        return;
    }
    AddFromSheet(sheet, resources::kCmdAddressCopy, std::move(copy));
}

bool CEntryCommands::ConfirmDelete(const QString& question) const {
    if (ReadSetting(*m_services.profile, settings::kConfirmDelete) == 0) {
        return true;
    }
    return platform::ShowMessageBox(question, platform::MessageIcon::kNone,
                                    platform::MessageButtons::kYesNo,
                                    m_services.DialogParent()) == platform::MessageAnswer::kYes;
}

void CEntryCommands::OnDelete() {
    IEntryListUi& list = *m_services.list;
    const std::vector<int> selected = list.SelectedRows();
    if (selected.size() > 1) {
        OnDeleteSelected(selected);
        return;
    }
    // One row: the focused one, unless the one selected row is another.
    const int row = selected.empty() ? list.FocusedRow() : selected.front();
    if (row < 0) {
        return;
    }
    if (!ConfirmDelete(ResourceString(resources::kStrConfirmDelete))) {
        return;
    }
    m_services.undo->DeleteEntry(UndoText(resources::kCmdAddressDelete), row);
    if (list.FocusedRow() >= 0) {
        list.BringFrameForward();
    }
}

void CEntryCommands::OnDeleteSelected(const std::vector<int>& rows) {
    IEntryListUi& list = *m_services.list;
    const QString question = ResourceString(resources::kStrConfirmDeleteMany)
                                 .replace(QStringLiteral("%d"), QString::number(rows.size()));
    if (!ConfirmDelete(question)) {
        return;
    }
    m_services.undo->DeleteRows(UndoText(resources::kCmdAddressDelete), rows);
    if (list.FocusedRow() >= 0) {
        list.BringFrameForward();
    }
}

void CEntryCommands::Register(platform::CommandTarget& target) {
    target.OnCommand(resources::kCmdAddressAdd, [this] { OnAdd(); });
    target.OnCommand(resources::kCmdAddressEdit, [this] { OnEdit(); });
    target.OnCommand(resources::kCmdAddressCopy, [this] { OnCopy(); });
    target.OnCommand(resources::kCmdAddressDelete, [this] { OnDelete(); });
}

}  // namespace entries
