#include "entries/entry_undo.h"

#include <QUndoCommand>
#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "addressbook/entry_identity.h"
#include "entries/entry_list_ui.h"
#include "platform/document.h"

namespace entries {

using addressbook::CAddressEntry;

namespace {

// More rows than this are added or removed with the list's redraw switched
// off, which announces one reset instead of one change per row.
constexpr std::size_t kBulkRows = 1;

// Keeps the focused entry focused across a bulk change of the list, which
// forgets the selection.
class KeepFocus {
public:
    explicit KeepFocus(IEntryListUi& list) : m_list(list) {
        const int row = list.FocusedRow();
        m_pEntry = row >= 0 ? &list.EntryAt(row) : nullptr;
    }
    // The entry is leaving the list: nothing to restore.
    void Drop(const CAddressEntry* entry) {
        if (entry == m_pEntry) {
            m_pEntry = nullptr;
        }
    }
    void Restore() {
        const int row = RowOfEntry(m_list, m_pEntry);
        if (row >= 0) {
            m_list.SelectRow(row);
        }
    }

private:
    IEntryListUi& m_list;
    const CAddressEntry* m_pEntry;
};

// Add, Copy and a whole import: new rows.
class AddEntriesCommand final : public QUndoCommand {
public:
    AddEntriesCommand(CEntryUndo& owner, const QString& text,
                      std::vector<std::unique_ptr<CAddressEntry>> entries, bool selectFirst)
        : QUndoCommand(text),
          m_owner(owner),
          m_bSelectFirst(selectFirst),
          m_out(std::move(entries)) {
        m_refs.reserve(m_out.size());
        for (std::size_t i = 0; i < m_out.size(); ++i) {
            m_refs.push_back(std::make_shared<EntrySlot>());
        }
    }

    void redo() override {
        IEntryListUi& list = m_owner.List();
        const bool bulk = m_out.size() > kBulkRows;
        KeepFocus focus(list);
        if (bulk) {
            list.SetRedraw(false);
            list.ReserveRows(static_cast<int>(m_out.size()));
        }
        for (std::size_t i = 0; i < m_out.size(); ++i) {
            if (!m_out[i]) {
                continue;  // refused the first time: gone
            }
            if (!m_owner.PutBack(m_refs[i], std::move(m_out[i]))) {
                // Like loading, appending stops at the first refused row;
                // the entries not appended are dropped.
                for (std::size_t j = i; j < m_out.size(); ++j) {
                    m_out[j].reset();
                }
                break;
            }
        }
        list.ResortList();
        if (bulk) {
            list.SetRedraw(true);
        }
        if (m_bSelectFirst && !m_refs.empty()) {
            const int row = m_owner.RowOf(m_refs.front());
            if (row >= 0) {
                list.SelectRow(row);
                return;
            }
        }
        if (bulk) {
            focus.Restore();
        }
    }

    void undo() override {
        IEntryListUi& list = m_owner.List();
        const bool bulk = m_refs.size() > kBulkRows;
        KeepFocus focus(list);
        for (const EntryRef& ref : m_refs) {
            focus.Drop(ref->live);
        }
        if (bulk) {
            list.SetRedraw(false);
        }
        m_out = m_owner.TakeOut(m_refs);
        if (bulk) {
            list.SetRedraw(true);
            focus.Restore();
        }
    }

private:
    CEntryUndo& m_owner;
    bool m_bSelectFirst;
    // The entries while they are out of the list (undone), by position.
    std::vector<std::unique_ptr<CAddressEntry>> m_out;
    std::vector<EntryRef> m_refs;
};

// Edit, and an item stored from the empty-item dialog.
class ReplaceEntryCommand final : public QUndoCommand {
public:
    ReplaceEntryCommand(CEntryUndo& owner, const QString& text, EntryRef ref, CAddressEntry before,
                        CAddressEntry after, bool resort)
        : QUndoCommand(text),
          m_owner(owner),
          m_ref(std::move(ref)),
          m_before(std::move(before)),
          m_after(std::move(after)),
          m_bResort(resort) {}

    void redo() override { Apply(m_after); }
    void undo() override { Apply(m_before); }

private:
    void Apply(const CAddressEntry& value) {
        IEntryListUi& list = m_owner.List();
        const int row = m_owner.RowOf(m_ref);
        if (row < 0) {
            return;
        }
        CAddressEntry& live = list.MutableEntryAt(row);
        const std::optional<std::string_view> uid = addressbook::EntryUid(live);
        if (uid && !addressbook::EntryUid(value)) {
            // The entry got its UID after this state was recorded (StoreUids).
            CAddressEntry identified = value;
            addressbook::SetEntryUid(identified, *uid);
            live = std::move(identified);
        } else {
            live = value;
        }
        list.RefreshRow(row);
        if (m_bResort) {
            // The row keeps the focus through the sort, so the one focused
            // afterwards is the edited row at its sorted place.
            list.SelectRow(row);
            list.ResortList();
            list.SelectRow(list.FocusedRow());
        }
    }

    CEntryUndo& m_owner;
    EntryRef m_ref;
    CAddressEntry m_before;
    CAddressEntry m_after;
    bool m_bResort;
};

class DeleteEntryCommand final : public QUndoCommand {
public:
    DeleteEntryCommand(CEntryUndo& owner, const QString& text, EntryRef ref)
        : QUndoCommand(text), m_owner(owner), m_ref(std::move(ref)) {}

    void redo() override {
        IEntryListUi& list = m_owner.List();
        const int before = list.FocusedRow();
        const bool hadFocus = before >= 0 && &list.EntryAt(before) == m_ref->live;
        m_out = m_owner.TakeOut(m_ref, &m_nRow);
        int focused = list.FocusedRow();
        if (hadFocus && m_nRow >= 0) {
            // The focus goes to the row that takes the deleted one's place,
            // or to the new last row.
            focused = list.RowCount() > 0 ? std::min(m_nRow, list.RowCount() - 1) : -1;
        }
        if (focused >= 0) {
            list.SelectRow(focused);
            list.RepaintList();
        }
    }

    void undo() override {
        if (!m_out) {
            return;
        }
        IEntryListUi& list = m_owner.List();
        // Back at its old row, so an unsorted list looks as it did before
        // the delete, and a sorted one keeps its order among equal keys.
        if (m_owner.PutBack(m_ref, std::move(m_out), m_nRow)) {
            list.ResortList();
            list.SelectRow(m_owner.RowOf(m_ref));
        }
    }

private:
    CEntryUndo& m_owner;
    EntryRef m_ref;
    int m_nRow = -1;                       // where the entry was deleted from
    std::unique_ptr<CAddressEntry> m_out;  // the entry while it is deleted
};

}  // namespace

CEntryUndo::CEntryUndo(IEntryListUi& list, QObject* parent) : QObject(parent), m_list(list) {
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this] { SyncModified(); });
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] { SyncModified(); });
}

CEntryUndo::~CEntryUndo() {
    // The commands refer to this object; drop them first.
    m_stack.disconnect(this);
    m_stack.clear();
}

void CEntryUndo::AttachDocument(platform::CDocument& document) {
    m_pDocument = &document;
    connect(&document, &platform::CDocument::modifiedChanged, this, [this](bool modified) {
        // A save (or anything else that declares the book unchanged) makes
        // the present state the one that undo leads back to.
        if (!modified) {
            m_stack.setClean();
        }
    });
    connect(&document, &platform::CDocument::initialUpdate, this, [this] { Reset(); });
    // Undo steps name rows of the list that a reload replaced.
    connect(&document, &platform::CDocument::reloaded, this, [this] { Reset(); });
}

void CEntryUndo::SyncModified() {
    if (m_pDocument) {
        m_pDocument->SetModifiedFlag(!m_stack.isClean());
    }
}

void CEntryUndo::Reset() {
    m_stack.clear();
    m_slots.clear();
}

// ---- Changes ----

void CEntryUndo::AddEntries(const QString& text,
                            std::vector<std::unique_ptr<CAddressEntry>> entries, bool selectFirst) {
    m_stack.push(new AddEntriesCommand(*this, text, std::move(entries), selectFirst));
    SyncModified();
}

void CEntryUndo::ReplaceEntry(const QString& text, int row, CAddressEntry after, bool resort) {
    if (row < 0 || row >= m_list.RowCount()) {
        return;
    }
    CAddressEntry& entry = m_list.MutableEntryAt(row);
    m_stack.push(
        new ReplaceEntryCommand(*this, text, RefOf(&entry), entry, std::move(after), resort));
    SyncModified();
}

void CEntryUndo::DeleteEntry(const QString& text, int row) {
    if (row < 0 || row >= m_list.RowCount()) {
        return;
    }
    m_stack.push(new DeleteEntryCommand(*this, text, RefOf(&m_list.MutableEntryAt(row))));
    SyncModified();
}

int CEntryUndo::StoreUids(std::span<const int> rows, std::span<const std::string> uids) {
    int stored = 0;
    const std::size_t count = std::min(rows.size(), uids.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (rows[i] < 0 || rows[i] >= m_list.RowCount()) {
            continue;
        }
        CAddressEntry& entry = m_list.MutableEntryAt(rows[i]);
        if (!addressbook::EntryUid(entry)) {
            addressbook::SetEntryUid(entry, uids[i]);
            ++stored;
        }
    }
    if (stored > 0) {
        // No state of the history is the saved book any more.
        m_stack.resetClean();
        SyncModified();
    }
    return stored;
}

// ---- Slots ----

EntryRef CEntryUndo::RefOf(CAddressEntry* entry) {
    auto& weak = m_slots[entry];
    EntryRef ref = weak.lock();
    if (!ref) {
        ref = std::make_shared<EntrySlot>();
        ref->live = entry;
        weak = ref;
    }
    return ref;
}

int CEntryUndo::RowOf(const EntryRef& ref) const {
    return ref ? RowOfEntry(m_list, ref->live) : -1;
}

void CEntryUndo::Forget(const CAddressEntry* entry) {
    m_slots.erase(entry);
}

bool CEntryUndo::PutBack(const EntryRef& ref, std::unique_ptr<CAddressEntry> entry, int row) {
    CAddressEntry* address = entry.get();
    const int count = m_list.RowCount();
    const bool stored = row < 0 || row >= count ? m_list.AppendEntry(std::move(entry))
                                                : m_list.InsertEntry(row, std::move(entry));
    if (!stored) {
        ref->live = nullptr;
        return false;
    }
    ref->live = address;
    m_slots[address] = ref;
    return true;
}

std::unique_ptr<CAddressEntry> CEntryUndo::TakeOut(const EntryRef& ref, int* row) {
    const int at = RowOf(ref);
    if (row != nullptr) {
        *row = at;
    }
    if (at < 0) {
        return nullptr;
    }
    Forget(ref->live);
    ref->live = nullptr;
    return std::move(m_list.TakeRows({at}).front());
}

std::vector<int> CEntryUndo::RowsOf(const std::vector<EntryRef>& refs) const {
    std::unordered_map<const CAddressEntry*, std::size_t> wanted;
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (refs[i] && refs[i]->live != nullptr) {
            wanted.emplace(refs[i]->live, i);
        }
    }
    std::vector<int> rows(refs.size(), -1);
    std::size_t found = 0;
    const int count = m_list.RowCount();
    for (int row = 0; row < count && found < wanted.size(); ++row) {
        const auto it = wanted.find(&m_list.EntryAt(row));
        if (it != wanted.end()) {
            rows[it->second] = row;
            ++found;
        }
    }
    return rows;
}

std::vector<std::unique_ptr<CAddressEntry>> CEntryUndo::TakeOut(const std::vector<EntryRef>& refs,
                                                                std::vector<int>* takenRows) {
    // One pass to find the rows, one to take them out.
    std::vector<int> at = RowsOf(refs);
    std::vector<std::pair<int, std::size_t>> order;  // row, index into refs
    order.reserve(refs.size());
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (at[i] >= 0) {
            order.emplace_back(at[i], i);
        }
    }
    std::sort(order.begin(), order.end());
    std::vector<int> rows;
    rows.reserve(order.size());
    for (const auto& [row, i] : order) {
        rows.push_back(row);
        Forget(refs[i]->live);
        refs[i]->live = nullptr;
    }
    std::vector<std::unique_ptr<CAddressEntry>> out(refs.size());
    std::vector<std::unique_ptr<CAddressEntry>> taken = m_list.TakeRows(rows);
    for (std::size_t k = 0; k < taken.size(); ++k) {
        out[order[k].second] = std::move(taken[k]);
    }
    if (takenRows != nullptr) {
        *takenRows = std::move(at);
    }
    return out;
}

bool CEntryUndo::PutBackRows(const std::vector<EntryRef>& refs,
                             std::vector<std::unique_ptr<CAddressEntry>>& entries,
                             const std::vector<int>& rows) {
    std::vector<CAddressEntry*> addresses;
    addresses.reserve(entries.size());
    for (const auto& entry : entries) {
        addresses.push_back(entry.get());
    }
    if (refs.size() != entries.size() || !m_list.InsertRows(rows, entries)) {
        return false;
    }
    for (std::size_t i = 0; i < refs.size(); ++i) {
        refs[i]->live = addresses[i];
        m_slots[addresses[i]] = refs[i];
    }
    return true;
}

}  // namespace entries
