// The changes of CEntryUndo that take many rows out of the list at once:
// deleting the selected rows and merging duplicates.  Both are one command
// that takes entries out and may put new ones in; its undo puts every entry
// back at the row it came from.  Rows move in one pass over the list with
// its redraw switched off, so 50,000 rows cost no more than a few.
#include <QUndoCommand>
#include <algorithm>
#include <memory>
#include <numeric>
#include <unordered_map>
#include <utility>
#include <vector>

#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"

namespace entries {

using addressbook::CAddressEntry;

namespace {

class ReplaceRowsCommand final : public QUndoCommand {
public:
    // Takes out the entries of `removed`.  `added[g]` takes the row of the
    // first of the removed entries whose `groupOf` is g; removed entries of
    // no group (-1) are only deleted.  `focus`, when it is one of the
    // removed entries, gets the focus back on undo.
    ReplaceRowsCommand(CEntryUndo& owner, const QString& text, std::vector<EntryRef> removed,
                       std::vector<int> groupOf, std::vector<std::unique_ptr<CAddressEntry>> added,
                       EntryRef focus)
        : QUndoCommand(text),
          m_owner(owner),
          m_removed(std::move(removed)),
          m_groupOf(std::move(groupOf)),
          m_added(std::move(added)),
          m_focus(std::move(focus)) {
        m_addedRefs.reserve(m_added.size());
        for (std::size_t g = 0; g < m_added.size(); ++g) {
            m_addedRefs.push_back(std::make_shared<EntrySlot>());
        }
    }

    void redo() override {
        IEntryListUi& list = m_owner.List();
        list.SetRedraw(false);
        std::vector<int> rows;
        m_out = m_owner.TakeOut(m_removed, &rows);
        m_rows = rows;

        // Where each added entry goes: the row its group's first entry had,
        // less the removed rows above it.
        std::vector<int> anchor(m_added.size(), -1);
        for (std::size_t i = 0; i < m_removed.size(); ++i) {
            if (m_groupOf[i] < 0 || rows[i] < 0) {
                continue;
            }
            int& first = anchor[static_cast<std::size_t>(m_groupOf[i])];
            if (first < 0 || rows[i] < first) {
                first = rows[i];
            }
        }
        std::vector<int> removedRows;
        std::copy_if(rows.begin(), rows.end(), std::back_inserter(removedRows),
                     [](int row) { return row >= 0; });
        std::sort(removedRows.begin(), removedRows.end());
        const int remaining = list.RowCount();
        std::vector<std::pair<int, int>> places;  // (row after the removal, anchor) of each group
        for (const int row : anchor) {
            const auto above =
                std::lower_bound(removedRows.begin(), removedRows.end(), row) - removedRows.begin();
            places.emplace_back(row < 0 ? remaining : row - static_cast<int>(above), row);
        }
        std::vector<std::size_t> order(m_added.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return places[a] < places[b]; });
        std::vector<EntryRef> refs;
        std::vector<std::unique_ptr<CAddressEntry>> entries;
        std::vector<int> targets;
        for (std::size_t k = 0; k < order.size(); ++k) {
            if (m_added[order[k]]) {
                targets.push_back(places[order[k]].first + static_cast<int>(targets.size()));
                refs.push_back(m_addedRefs[order[k]]);
                entries.push_back(std::move(m_added[order[k]]));
            }
        }
        if (!m_owner.PutBackRows(refs, entries, targets)) {
            // The list refused them: they stay here for the next try.
            for (std::size_t k = 0, e = 0; k < order.size(); ++k) {
                if (!m_added[order[k]] && e < entries.size()) {
                    m_added[order[k]] = std::move(entries[e++]);
                }
            }
        }
        list.ResortList();
        list.SetRedraw(true);

        if (!m_addedRefs.empty()) {
            const std::vector<int> now = m_owner.RowsOf(m_addedRefs);
            list.SelectRows(now, now.front());
        } else if (!removedRows.empty() && list.RowCount() > 0) {
            list.SelectRow(std::min(removedRows.front(), list.RowCount() - 1));
        }
        list.RepaintList();
    }

    void undo() override {
        IEntryListUi& list = m_owner.List();
        list.SetRedraw(false);
        m_added = m_owner.TakeOut(m_addedRefs);
        // Back at their rows, top first, so each row is right once the rows
        // above it are in.
        std::vector<std::size_t> order;
        for (std::size_t i = 0; i < m_removed.size(); ++i) {
            if (m_out[i] && m_rows[i] >= 0) {
                order.push_back(i);
            }
        }
        std::sort(order.begin(), order.end(),
                  [this](std::size_t a, std::size_t b) { return m_rows[a] < m_rows[b]; });
        std::vector<EntryRef> refs;
        std::vector<std::unique_ptr<CAddressEntry>> entries;
        std::vector<int> rows;
        for (const std::size_t i : order) {
            refs.push_back(m_removed[i]);
            entries.push_back(std::move(m_out[i]));
            rows.push_back(m_rows[i]);
        }
        if (!m_owner.PutBackRows(refs, entries, rows)) {
            for (std::size_t k = 0; k < order.size() && k < entries.size(); ++k) {
                m_out[order[k]] = std::move(entries[k]);
            }
        }
        list.ResortList();
        list.SetRedraw(true);

        const std::vector<int> now = m_owner.RowsOf(m_removed);
        const int focused = m_focus ? m_owner.RowOf(m_focus) : -1;
        const auto first = std::find_if(now.begin(), now.end(), [](int row) { return row >= 0; });
        list.SelectRows(now, focused >= 0 ? focused : (first != now.end() ? *first : -1));
        list.RepaintList();
    }

private:
    CEntryUndo& m_owner;
    std::vector<EntryRef> m_removed;
    std::vector<int> m_groupOf;
    std::vector<std::unique_ptr<CAddressEntry>> m_added;  // while they are out of the list
    std::vector<EntryRef> m_addedRefs;
    EntryRef m_focus;
    std::vector<std::unique_ptr<CAddressEntry>> m_out;  // the removed entries while out
    std::vector<int> m_rows;                            // the rows they were taken from
};

}  // namespace

void CEntryUndo::DeleteRows(const QString& text, const std::vector<int>& rows) {
    std::vector<EntryRef> removed;
    const int count = m_list.RowCount();
    for (const int row : rows) {
        if (row >= 0 && row < count) {
            removed.push_back(RefOf(&m_list.MutableEntryAt(row)));
        }
    }
    if (removed.empty()) {
        return;
    }
    const int focused = m_list.FocusedRow();
    EntryRef focus = focused >= 0 ? RefOf(&m_list.MutableEntryAt(focused)) : nullptr;
    std::vector<int> groupOf(removed.size(), -1);
    m_stack.push(new ReplaceRowsCommand(*this, text, std::move(removed), std::move(groupOf), {},
                                        std::move(focus)));
    SyncModified();
}

void CEntryUndo::MergeEntries(const QString& text, std::vector<EntryMerge> merges) {
    std::unordered_map<const CAddressEntry*, int> rowOf;
    for (const EntryMerge& merge : merges) {
        for (const CAddressEntry* entry : merge.entries) {
            rowOf.emplace(entry, -1);
        }
    }
    const int count = m_list.RowCount();
    for (int row = 0; row < count; ++row) {
        const auto it = rowOf.find(&m_list.EntryAt(row));
        if (it != rowOf.end()) {
            it->second = row;
        }
    }
    std::vector<EntryRef> removed;
    std::vector<int> groupOf;
    std::vector<std::unique_ptr<CAddressEntry>> added;
    for (EntryMerge& merge : merges) {
        const auto group = static_cast<int>(added.size());
        for (const CAddressEntry* entry : merge.entries) {
            const int row = rowOf[entry];
            if (row >= 0) {
                removed.push_back(RefOf(&m_list.MutableEntryAt(row)));
                groupOf.push_back(group);
                rowOf[entry] = -1;  // once, even when listed twice
            }
        }
        if (!groupOf.empty() && groupOf.back() == group) {
            added.push_back(std::make_unique<CAddressEntry>(std::move(merge.merged)));
        }
    }
    if (added.empty()) {
        return;
    }
    m_stack.push(new ReplaceRowsCommand(*this, text, std::move(removed), std::move(groupOf),
                                        std::move(added), nullptr));
    SyncModified();
}

}  // namespace entries
