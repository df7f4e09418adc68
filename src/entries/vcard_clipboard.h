// The clipboard as vCards: Edit / "Copy as vCard" (kCmdEditCopyAsVCard,
// Ctrl+Shift+C) and Edit / "Paste" (kCmdEditPaste, Ctrl+V).
//
// Copy as vCard puts the cards of the selected rows (in display order), or
// of the focused row while no more than one row is selected, on the
// clipboard as vCard 3.0 text, under text/vcard, text/x-vcard and as plain
// text.  The cards carry the UIDs the vCard export would give them, and each
// entry without a UID keeps the one its card got, as after an export
// (CEntryUndo::StoreUids).  Ctrl+C keeps its meaning: a copy of the focused
// entry in the editor.
//
// Paste is enabled while the clipboard holds vCards (VCardDataOf).  It adds
// them as the vCard import does: appended, the sort re-applied, one step of
// the undo history ("Paste"), the import's report.  Nothing is skipped.  A
// card whose UID an entry of the book holds (pasted back into the book it
// was copied from) comes in as a copy, without that UID, as the editor's
// Copy makes one: one contact keeps one identity.
#pragma once

#include <QByteArray>
#include <vector>

#include "entries/entry_services.h"

class QMimeData;

namespace platform {
class CommandTarget;
}

namespace entries {

class ImportVCardCommand;

// Clipboard data holding the vCard text `cards`.
QMimeData* MakeVCardMimeData(const QByteArray& cards);

class CVCardClipboard {
public:
    // `import` adds pasted cards; it must outlive this.
    CVCardClipboard(EntryServices services, ImportVCardCommand& import)
        : m_services(std::move(services)), m_import(import) {}

    void OnCopyAsVCard();
    void OnPaste();

    // The rows Copy as vCard copies, in display order; empty when none.
    std::vector<int> RowsToCopy() const;
    // Whether the clipboard holds vCards.
    static bool CanPaste();

    // Registers both commands and their enabling rules.
    void Register(platform::CommandTarget& target);

private:
    EntryServices m_services;
    ImportVCardCommand& m_import;
};

}  // namespace entries
