#include "entries/duplicate_commands.h"

#include <QCursor>  // needed by platform/app_services.h
#include <optional>

#include "addressbook/duplicate_finder.h"
#include "addressbook/duplicate_merge.h"
#include "entries/duplicates_dlg.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "platform/app_services.h"
#include "platform/command_router.h"
#include "platform/dialogs.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace entries {

void CDuplicateCommands::OnFindDuplicates() {
    IEntryListUi& list = *m_services.list;
    std::vector<DuplicateGroupEntries> groups;
    {
        const platform::WaitCursor wait;
        for (const addressbook::DuplicateGroup& found : addressbook::FindDuplicates(list)) {
            DuplicateGroupEntries group;
            group.reasons = found.reasons;
            group.entries.reserve(found.rows.size());
            for (const int row : found.rows) {
                group.entries.push_back(&list.EntryAt(row));
            }
            groups.push_back(std::move(group));
        }
    }
    if (groups.empty()) {
        platform::ShowMessageBox(ResourceString(resources::kStrNoDuplicates),
                                 platform::MessageIcon::kInformation, platform::MessageButtons::kOk,
                                 m_services.DialogParent());
        return;
    }
    CDuplicatesDlg dialog(
        std::move(groups), [this](std::vector<DuplicateMerge> merges) { Merge(std::move(merges)); },
        m_services.DialogParent());
    m_services.RunDialog(dialog);
}

void CDuplicateCommands::Merge(std::vector<DuplicateMerge> merges) {
    std::vector<EntryMerge> planned;
    planned.reserve(merges.size());
    for (DuplicateMerge& merge : merges) {
        addressbook::CAddressEntry merged = addressbook::MergeEntries(merge.entries, merge.values);
        planned.push_back({std::move(merge.entries), std::move(merged)});
    }
    m_services.undo->MergeEntries(UndoText(resources::kCmdAddressFindDuplicates),
                                  std::move(planned));
}

void CDuplicateCommands::Register(platform::CommandTarget& target) {
    target.OnCommand(resources::kCmdAddressFindDuplicates, [this] { OnFindDuplicates(); });
    target.OnUpdate(resources::kCmdAddressFindDuplicates,
                    [this](platform::CCmdUI& ui) { ui.Enable(m_services.list->RowCount() > 0); });
}

}  // namespace entries
