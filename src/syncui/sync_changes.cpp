#include "syncui/sync_changes.h"

#include <QUndoCommand>
#include <memory>
#include <optional>
#include <unordered_set>

#include "addressbook/entry_identity.h"
#include "booksync/book_link.h"
#include "document/qx32_doc.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"

namespace syncui {

using addressbook::CAddressEntry;
using addressbook::CExtraData;

namespace {

// `mine` with the identity (UID and sync status) of `theirs`.
CAddressEntry WithIdentityOf(const CAddressEntry& mine, const CAddressEntry& theirs) {
    addressbook::CExtraDataBuilder builder;
    for (auto term = theirs.Extra().First(); term; term = term.Next()) {
        if (term.Kind() == addressbook::ExtraKind::Pair &&
            addressbook::IsIdentityAttribute(term.Name())) {
            builder.AddTerm(term);
        }
    }
    for (auto term = mine.Extra().First(); term; term = term.Next()) {
        if (term.Kind() != addressbook::ExtraKind::Pair ||
            !addressbook::IsIdentityAttribute(term.Name())) {
            builder.AddTerm(term);
        }
    }
    CAddressEntry merged = mine;
    merged.SetExtra(builder.Build());
    return merged;
}

// Whether two links differ in nothing but their sync token.
bool OnlyTokenDiffers(const std::optional<CExtraData>& before,
                      const std::optional<CExtraData>& after) {
    if (before == after) {
        return true;
    }
    if (!before || !after) {
        return false;
    }
    std::optional<booksync::BookLink> a = booksync::ReadBookLink(*before);
    std::optional<booksync::BookLink> b = booksync::ReadBookLink(*after);
    if (!a || !b) {
        return false;
    }
    a->syncToken = b->syncToken;
    return a == b;
}

bool SameBesidesIdentity(const CAddressEntry& a, const CAddressEntry& b) {
    return addressbook::CopyWithoutIdentity(a) == addressbook::CopyWithoutIdentity(b);
}

class SyncChangesCommand final : public QUndoCommand {
public:
    struct Replaced {
        entries::EntryRef ref;
        CAddressEntry before;
        CAddressEntry after;
    };

    SyncChangesCommand(const QString& text, entries::CEntryUndo& undo, document::CQX32Doc& document,
                       std::vector<Replaced> replaced, std::vector<entries::EntryRef> removed,
                       std::vector<std::unique_ptr<CAddressEntry>> added,
                       std::optional<CExtraData> linkBefore, std::optional<CExtraData> linkAfter)
        : QUndoCommand(text),
          m_undo(undo),
          m_document(document),
          m_replaced(std::move(replaced)),
          m_removed(std::move(removed)),
          m_addedOut(std::move(added)),
          m_linkBefore(std::move(linkBefore)),
          m_linkAfter(std::move(linkAfter)) {
        for (std::size_t i = 0; i < m_addedOut.size(); ++i) {
            m_added.push_back(std::make_shared<entries::EntrySlot>());
        }
    }

    void redo() override { Apply(true); }
    void undo() override { Apply(false); }

private:
    void Apply(bool forward) {
        entries::IEntryListUi& list = m_undo.List();
        // One reset of the view instead of a signal per row.
        list.SetRedraw(false);
        for (const Replaced& change : m_replaced) {
            const int row = m_undo.RowOf(change.ref);
            if (row >= 0) {
                list.MutableEntryAt(row) = forward ? change.after : change.before;
                list.RefreshRow(row);
            }
        }
        const std::vector<entries::EntryRef>& goIn = forward ? m_added : m_removed;
        const std::vector<entries::EntryRef>& goOut = forward ? m_removed : m_added;
        std::vector<std::unique_ptr<CAddressEntry>>& in = forward ? m_addedOut : m_removedOut;
        std::vector<std::unique_ptr<CAddressEntry>>& out = forward ? m_removedOut : m_addedOut;
        out = m_undo.TakeOut(goOut);
        for (std::size_t i = 0; i < goIn.size() && i < in.size(); ++i) {
            if (in[i]) {
                m_undo.PutBack(goIn[i], std::move(in[i]));
            }
        }
        in.clear();
        m_document.SetLink(forward ? m_linkAfter : m_linkBefore);
        list.ResortList();
        list.SetRedraw(true);
        list.RepaintList();
    }

    entries::CEntryUndo& m_undo;
    document::CQX32Doc& m_document;
    std::vector<Replaced> m_replaced;
    std::vector<entries::EntryRef> m_removed;
    std::vector<std::unique_ptr<CAddressEntry>> m_removedOut;  // while removed
    std::vector<entries::EntryRef> m_added;
    std::vector<std::unique_ptr<CAddressEntry>> m_addedOut;  // while not in the list
    std::optional<CExtraData> m_linkBefore;
    std::optional<CExtraData> m_linkAfter;
};

}  // namespace

SyncSnapshot TakeSnapshot(entries::IEntryListUi& list) {
    SyncSnapshot snapshot;
    const int rows = list.RowCount();
    snapshot.live.reserve(static_cast<std::size_t>(rows));
    snapshot.copies.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        snapshot.live.push_back(&list.MutableEntryAt(row));
        snapshot.copies.push_back(list.EntryAt(row));
    }
    return snapshot;
}

AppliedSync ApplySyncOutcome(entries::CEntryUndo& undo, const SyncSnapshot& snapshot,
                             carddav::SyncOutcome& outcome, document::CQX32Doc& document,
                             const QString& text) {
    AppliedSync applied;
    entries::IEntryListUi& list = undo.List();
    std::unordered_set<const CAddressEntry*> present;
    for (int row = 0; row < list.RowCount(); ++row) {
        present.insert(&list.EntryAt(row));
    }
    std::vector<SyncChangesCommand::Replaced> replaced;
    std::vector<entries::EntryRef> removed;
    for (booksync::BookSide::Change& change : outcome.changes) {
        if (change.index >= snapshot.live.size()) {
            continue;
        }
        CAddressEntry* live = snapshot.live[change.index];
        const CAddressEntry& given = snapshot.copies[change.index];
        if (present.count(live) == 0) {
            ++applied.kept;  // deleted meanwhile: stays deleted
            continue;
        }
        if (*live == given) {
            if (change.after) {
                replaced.push_back({undo.RefOf(live), *live, std::move(*change.after)});
            } else {
                removed.push_back(undo.RefOf(live));
            }
        } else if (change.after && SameBesidesIdentity(*change.after, given)) {
            replaced.push_back({undo.RefOf(live), *live, WithIdentityOf(*live, *change.after)});
        } else {
            ++applied.kept;
        }
    }
    std::vector<std::unique_ptr<CAddressEntry>> added;
    for (CAddressEntry& entry : outcome.added) {
        added.push_back(std::make_unique<CAddressEntry>(std::move(entry)));
    }
    std::optional<CExtraData> linkBefore = document.Link();
    std::optional<CExtraData> linkAfter =
        outcome.link ? std::optional<CExtraData>(booksync::WriteBookLink(*outcome.link))
                     : linkBefore;
    applied.changed = static_cast<int>(replaced.size() + removed.size() + added.size());
    if (applied.changed == 0 && OnlyTokenDiffers(linkBefore, linkAfter)) {
        // A new token alone changes nothing the user would undo or need to
        // save: the old one still leads to the same changes.
        document.SetLink(std::move(linkAfter));
        return applied;
    }
    undo.Stack().push(new SyncChangesCommand(text, undo, document, std::move(replaced),
                                             std::move(removed), std::move(added),
                                             std::move(linkBefore), std::move(linkAfter)));
    return applied;
}

}  // namespace syncui
