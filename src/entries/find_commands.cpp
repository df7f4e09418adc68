#include "entries/find_commands.h"

#include <algorithm>

#include "entries/entry_list_ui.h"
#include "entries/find_dlg.h"
#include "entries/find_history.h"
#include "entries/find_text.h"
#include "platform/command_router.h"
#include "platform/dialogs.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace entries {

void CFindCommands::FindEntry(const QString& text, int field, int direction, bool matchCase,
                              int startRow) {
    if (text.isEmpty()) {
        return;
    }
    IEntryListUi& list = *m_services.list;
    if (list.RowCount() == 0) {
        return;
    }
    const FindRequest request{ToUtf8(text), field, direction, matchCase};
    const int row = FindRow(list, request, startRow);
    if (row < 0) {
        platform::ShowMessageBox(ResourceString(resources::kStrTextNotFound),
                                 platform::MessageIcon::kNone, platform::MessageButtons::kOk,
                                 m_services.DialogParent());
        return;
    }
    list.BringFrameForward();
    list.SelectRow(row);
    list.RepaintList();
}

void CFindCommands::SearchWithDialogSettings(const QString& text, int startRow) {
    FindEntry(text, m_dialog.m_nSearchField, m_dialog.m_nDirection, m_dialog.m_nMatchCase != 0,
              startRow);
}

void CFindCommands::OnFind() {
    m_dialog.OnInitDialog(&m_history);
    if (m_services.RunDialog(m_dialog) != QDialog::Accepted) {
        return;
    }
    if (IFindHistoryMirror* box = m_history.Mirror()) {
        box->SetEditText(m_dialog.m_strFindText);
    }
    m_history.Add(m_dialog.m_strFindText);
    int startRow = 0;
    if (m_dialog.m_nStartAtTop == 0) {
        startRow = std::max(0, m_services.list->SelectedRow());
    }
    SearchWithDialogSettings(m_dialog.m_strFindText, startRow);
}

int CFindCommands::FindNextStartRow() const {
    if (m_dialog.m_nStartAtTop != 0) {
        return 0;
    }
    const IEntryListUi& list = *m_services.list;
    const int selected = list.SelectedRow();
    if (selected < 0 || selected >= list.RowCount() - 1) {
        return 0;
    }
    return selected + 1;
}

void CFindCommands::OnFindNext() {
    if (m_dialog.m_strFindText.isEmpty()) {
        OnFind();
        return;
    }
    SearchWithDialogSettings(m_dialog.m_strFindText, FindNextStartRow());
}

void CFindCommands::QuickFind(const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    m_history.Add(text);
    m_dialog.m_strFindText = text;
    SearchWithDialogSettings(text, FindNextStartRow());
}

void CFindCommands::Register(platform::CommandTarget& target) {
    target.OnCommand(resources::kCmdEditFind, [this] { OnFind(); });
    target.OnCommand(resources::kCmdEditFindNext, [this] { OnFindNext(); });
}

}  // namespace entries
