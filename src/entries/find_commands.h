// Find (kCmdEditFind), Find Next (kCmdEditFindNext) and the toolbar's quick
// find, sharing one search routine and the settings of one find dialog.
#pragma once

#include <QString>

#include "entries/entry_services.h"

namespace platform {
class CommandTarget;
}

namespace entries {

class CFindDlg;
class FindHistory;

class CFindCommands {
public:
    // `dialog` and `history` (not owned) live as long as the list.
    CFindCommands(EntryServices services, CFindDlg& dialog, FindHistory& history)
        : m_services(std::move(services)), m_dialog(dialog), m_history(history) {}

    // Shows the find dialog; on OK puts its text into the quick-find box,
    // adds it to the history and searches from the selected row itself (row
    // 0 with "Start at Top of File" or without a selection).
    void OnFind();
    // Repeats the last search from the row after the selection (row 0 with
    // "Start at Top of File", without a selection, or when the last row is
    // selected), whatever the direction.  Without a find text it runs Find.
    void OnFindNext();
    // The quick-find box's Enter with a non-empty `text`: adds it to the
    // history, makes it the dialog's find text and searches as Find Next.
    void QuickFind(const QString& text);

    // Searches `field` for `text` from `startRow` (negative means 0), down
    // for direction 1 and up otherwise.  A hit is brought forward, selected
    // and shown; no hit shows "Specified text not found.".  Nothing happens
    // for an empty text or an empty list.
    void FindEntry(const QString& text, int field, int direction, bool matchCase, int startRow);

    // The row Find Next starts from.
    int FindNextStartRow() const;

    void Register(platform::CommandTarget& target);

private:
    void SearchWithDialogSettings(const QString& text, int startRow);

    EntryServices m_services;
    CFindDlg& m_dialog;
    FindHistory& m_history;
};

}  // namespace entries
