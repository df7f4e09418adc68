// BookSide: the book's entries as the local side of a sync.
//
// It works on copies of the entries (the window takes them on its own
// thread and lets the sync run on another), and afterwards says which of
// them changed, which went and which are new, so that the caller applies
// that to the real list: the tool directly, the window as one undo step.
//
// Every entry takes part under its UID.  An entry without one gets the UID a
// vCard export would give it; an entry whose UID another entry has already
// (a book imported twice) gets a new one, so that it is uploaded as the new
// card it is.  The hash of an entry is that of the card it uploads
// (card_hash.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "addressbook/address_entry.h"
#include "booksync/sync_sides.h"

namespace booksync {

class BookSide final : public ILocalSide {
public:
    struct Options {
        // Whether the status kept in the entries belongs to this address
        // book; false after the book was linked to another one.
        bool entryStatusValid = true;
        // The date a conflict copy names, e.g. "2024-03-01"; today's when
        // empty.
        std::string conflictDate;
    };

    // `entries`: the book's entries in list order; `linked`: the status
    // kept in the book's link (book_link.h).
    BookSide(std::vector<addressbook::CAddressEntry> entries, SyncStatus linked, Options options);

    std::vector<Item> Items() override;
    SyncStatus LastStatus() override;
    std::string CardText(const std::string& uid) override;
    std::optional<ParsedCard> Parse(std::string_view text, const std::string& href,
                                    std::string& problem) override;
    void Store(const ParsedCard& card) override;
    void Remove(const std::string& uid) override;
    std::string AddConflictCopy(const std::string& uid, const std::string& copyUid) override;
    void SetStatus(const std::string& uid, const std::optional<ItemStatus>& status) override;
    std::string Describe(const std::string& uid) override;

    // ---- After the sync ----
    struct Change {
        std::size_t index;                                // in the entries given
        std::optional<addressbook::CAddressEntry> after;  // nothing: deleted
    };
    // The entries given that changed (a UID given, a status recorded, a
    // card stored) or were deleted, in list order.
    std::vector<Change> TakeChanges();
    // The entries added (cards new on the server, conflict copies).
    std::vector<addressbook::CAddressEntry> TakeAdded();

private:
    struct Slot {
        addressbook::CAddressEntry entry;
        std::ptrdiff_t origin = -1;  // index in the entries given; -1 when added
        bool removed = false;
        bool touched = false;
    };

    Slot* Find(const std::string& uid);
    // An entry new to the book (a card from the server, a conflict copy).
    void Add(const std::string& uid, addressbook::CAddressEntry entry);

    std::vector<Slot> m_slots;
    std::unordered_map<std::string, std::size_t> m_byUid;
    SyncStatus m_status;
    Options m_options;
};

// `entries` as a sync leaves them: each change applied in its place (a
// deleted entry taken out), then the entries added.
std::vector<addressbook::CAddressEntry> EntriesAfterSync(
    std::vector<addressbook::CAddressEntry> entries, std::vector<BookSide::Change> changes,
    std::vector<addressbook::CAddressEntry> added);

}  // namespace booksync
