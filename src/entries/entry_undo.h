// CEntryUndo: every change to the entries of the list, made through undoable
// commands on one QUndoStack.
//
// Add, Copy, Edit, Delete, a whole import (one step), an item typed into
// the empty-item dialog and stored in the entry, the delete of several
// selected rows (one step) and a merge of duplicates (one step) are each one
// command.  The commands keep whole entries, extra data included.  A
// command that has taken an entry out of the list (an undone Add, a done
// Delete) owns it until it puts it back.
//
// Entries are reached through shared slots rather than rows or addresses:
// rows move with every sort, and an entry put back by an undo lives at a new
// address, which its slot then records, so later commands that refer to the
// same entry still find it.
//
// The modified flag of the document follows the stack: any step away from
// the clean state sets it, undoing back to the clean state clears it.  A
// successful save (the document clearing its flag) makes the current state
// the clean one; a new or opened book empties the history.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUndoStack>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "addressbook/address_entry.h"

namespace platform {
class CDocument;
}

namespace entries {

class IEntryListUi;

// Where one entry lives now; `live` is null while the entry is out of the
// list.
struct EntrySlot {
    addressbook::CAddressEntry* live = nullptr;
};
using EntryRef = std::shared_ptr<EntrySlot>;

// Entries of the list that become one: `merged` takes their place.
struct EntryMerge {
    std::vector<const addressbook::CAddressEntry*> entries;
    addressbook::CAddressEntry merged;
};

class CEntryUndo : public QObject {
    Q_OBJECT

public:
    explicit CEntryUndo(IEntryListUi& list, QObject* parent = nullptr);
    ~CEntryUndo() override;

    QUndoStack& Stack() { return m_stack; }
    IEntryListUi& List() { return m_list; }

    // Ties the document's modified flag to the stack's clean state, and
    // empties the history when the document loads a new or opened book.
    void AttachDocument(platform::CDocument& document);

    // Empties the history (the list has been cleared or reloaded).
    void Reset();

    // ---- Changes ----
    // Appends `entries` as new rows, then re-applies the sort.  With
    // `selectFirst` the first new row is selected, focused and shown; without
    // it the focused entry stays focused.  Appending stops at the first row
    // the list refuses (the change is still recorded).
    void AddEntries(const QString& text,
                    std::vector<std::unique_ptr<addressbook::CAddressEntry>> entries,
                    bool selectFirst);
    // Replaces the entry of `row` with `after`.  With `resort` the row is
    // selected, the sort re-applied and the row, at its new place, selected
    // and shown (Edit); without it only the row is redrawn (an item stored
    // from the empty-item dialog).
    void ReplaceEntry(const QString& text, int row, addressbook::CAddressEntry after, bool resort);
    // Deletes the entry of `row`; the row that then has the focus, if any, is
    // selected and shown.
    void DeleteEntry(const QString& text, int row);
    // Deletes the entries of `rows` (several) as one step.  The row that
    // then stands where the first of them stood is selected and focused.
    // Undoing it puts every entry back at its row, selected, the focus on
    // the entry that had it.
    void DeleteRows(const QString& text, const std::vector<int>& rows);
    // Replaces the entries of each merge by its merged entry, which takes
    // the row of the first of them, as one step; then re-applies the sort
    // and selects the merged entries.  Entries no longer in the list are
    // passed over.
    void MergeEntries(const QString& text, std::vector<EntryMerge> merges);
    // Gives the entry of rows[i] the UID uids[i] where it has none yet (the
    // vCard export).  A UID says which contact an entry is, once and for
    // all, so storing it is no step of the history: undo and redo keep it
    // (a replaced entry keeps the UID of the entry it replaces when it has
    // none of its own), and the book counts as modified until it is saved.
    // Returns the number of entries that got a UID.
    int StoreUids(std::span<const int> rows, std::span<const std::string> uids);

    // ---- For the commands of the stack ----
    EntryRef RefOf(addressbook::CAddressEntry* entry);
    int RowOf(const EntryRef& ref) const;
    // Puts `entry` back into the list for `ref`, as row `row` when that is a
    // row of the list now, else as a new last row; false when the list
    // refused it.
    bool PutBack(const EntryRef& ref, std::unique_ptr<addressbook::CAddressEntry> entry,
                 int row = -1);
    // Takes the entry of `ref` out of the list; empty when it is not there.
    // `row`, when given, receives the row the entry had (-1 for none).
    std::unique_ptr<addressbook::CAddressEntry> TakeOut(const EntryRef& ref, int* row = nullptr);
    // Takes several entries out in one pass over the rows; an entry not in
    // the list leaves its place empty.  `rows`, when given, receives the row
    // each had (-1 for none).
    std::vector<std::unique_ptr<addressbook::CAddressEntry>> TakeOut(
        const std::vector<EntryRef>& refs, std::vector<int>* rows = nullptr);
    // Puts `entries` back for `refs` so that entries[k] ends at row rows[k]
    // (ascending), in one pass; `entries` is emptied.  False when the list
    // refused them (`entries` then still holds them).
    bool PutBackRows(const std::vector<EntryRef>& refs,
                     std::vector<std::unique_ptr<addressbook::CAddressEntry>>& entries,
                     const std::vector<int>& rows);
    // The row of each of `refs` (-1 for none), in one pass over the rows.
    std::vector<int> RowsOf(const std::vector<EntryRef>& refs) const;

private:
    void SyncModified();
    void Forget(const addressbook::CAddressEntry* entry);

    IEntryListUi& m_list;
    QUndoStack m_stack;
    QPointer<platform::CDocument> m_pDocument;
    std::unordered_map<const addressbook::CAddressEntry*, std::weak_ptr<EntrySlot>> m_slots;
};

}  // namespace entries
