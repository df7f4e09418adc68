#include "booksync/book_side.h"

#include <ctime>
#include <utility>

#include "addressbook/entry_identity.h"
#include "addressbook/field_table.h"
#include "addressbook/vcard_mapping.h"
#include "addressbook/vcard_reader.h"
#include "booksync/book_link.h"
#include "booksync/card_hash.h"

namespace booksync {

using addressbook::CAddressEntry;

namespace {

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

// The text appended to the notes of a conflict copy.
std::string ConflictNote(const std::string& date) {
    return "Conflict copy from this computer, " + date;
}

}  // namespace

BookSide::BookSide(std::vector<CAddressEntry> entries, SyncStatus linked, Options options)
    : m_status(std::move(linked)), m_options(std::move(options)) {
    if (m_options.conflictDate.empty()) {
        m_options.conflictDate = Today();
    }
    addressbook::CUidAssigner assigner;
    for (const CAddressEntry& entry : entries) {
        if (const std::optional<std::string_view> uid = addressbook::EntryUid(entry)) {
            assigner.Reserve(*uid);
        }
    }
    m_slots.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Slot slot{std::move(entries[i]), static_cast<std::ptrdiff_t>(i)};
        std::optional<std::string_view> own = addressbook::EntryUid(slot.entry);
        std::string uid = own ? std::string(*own) : std::string();
        if (uid.empty() || m_byUid.count(uid) != 0) {
            if (!uid.empty()) {
                // A second entry of one identity: a new identity of its own.
                slot.entry = addressbook::CopyWithoutIdentity(slot.entry);
                uid = addressbook::NameBasedUuid("second entry\n" + uid + "\n" + std::to_string(i));
            } else {
                uid = assigner.UidFor(slot.entry);
            }
            addressbook::SetEntryUid(slot.entry, uid);
            slot.touched = true;
        } else if (const std::optional<ItemStatus> status = EntryStatus(slot.entry)) {
            if (m_options.entryStatusValid) {
                m_status[uid] = *status;
            }
        }
        m_byUid.emplace(uid, m_slots.size());
        m_slots.push_back(std::move(slot));
    }
    if (!m_options.entryStatusValid) {
        for (Slot& slot : m_slots) {
            if (EntryStatus(slot.entry)) {
                SetEntryStatus(slot.entry, std::nullopt);
                slot.touched = true;
            }
        }
    }
}

BookSide::Slot* BookSide::Find(const std::string& uid) {
    const auto it = m_byUid.find(uid);
    if (it == m_byUid.end() || m_slots[it->second].removed) {
        return nullptr;
    }
    return &m_slots[it->second];
}

void BookSide::Add(const std::string& uid, CAddressEntry entry) {
    m_byUid[uid] = m_slots.size();
    m_slots.push_back(Slot{std::move(entry), -1, false, true});
}

std::vector<ILocalSide::Item> BookSide::Items() {
    std::vector<Item> items;
    items.reserve(m_slots.size());
    for (const auto& [uid, index] : m_byUid) {
        const Slot& slot = m_slots[index];
        if (!slot.removed) {
            items.push_back(Item{uid, EntryHash(slot.entry, uid)});
        }
    }
    return items;
}

SyncStatus BookSide::LastStatus() {
    return m_status;
}

std::string BookSide::CardText(const std::string& uid) {
    const Slot* slot = Find(uid);
    return slot != nullptr ? EntryCardText(slot->entry, uid) : std::string();
}

std::optional<ParsedCard> BookSide::Parse(std::string_view text, const std::string& href,
                                          std::string& problem) {
    namespace vcard = addressbook::vcard;
    std::optional<vcard::Card> first;
    vcard::CVCardReader reader;
    reader.ReadBytes(text, [&first](vcard::Card& card) {
        if (!first) {
            first = std::move(card);
        }
    });
    if (!first) {
        const vcard::ReadProblems& problems = reader.Problems();
        problem = !problems.skippedCards.empty() ? problems.skippedCards.front().reason
                                                 : std::string("it holds no vCard");
        return std::nullopt;
    }
    vcard::KeptTally kept;
    CAddressEntry entry = vcard::EntryFromCard(*first, kept);
    std::string uid;
    if (const std::optional<std::string_view> own = addressbook::EntryUid(entry)) {
        uid = std::string(*own);
    } else {
        // A card without a UID is known by its href.
        uid = addressbook::NameBasedUuid("card without UID\n" + href);
        addressbook::SetEntryUid(entry, uid);
    }
    std::string hash = EntryHash(entry, uid);
    return ParsedCard{std::move(uid), std::move(hash), std::any(std::move(entry))};
}

void BookSide::Store(const ParsedCard& card) {
    CAddressEntry entry = std::any_cast<const CAddressEntry&>(card.entry);
    if (Slot* slot = Find(card.uid)) {
        slot->entry = std::move(entry);
        slot->touched = true;
        return;
    }
    Add(card.uid, std::move(entry));
}

void BookSide::Remove(const std::string& uid) {
    if (Slot* slot = Find(uid)) {
        slot->removed = true;
    }
}

std::string BookSide::AddConflictCopy(const std::string& uid, const std::string& copyUid) {
    const Slot* original = Find(uid);
    if (original == nullptr) {
        return std::string();
    }
    CAddressEntry copy = addressbook::CopyWithoutIdentity(original->entry);
    std::string text(copy.GetField(addressbook::Notes));
    // The editor stores each line break of a note as "<p>".
    text += (text.empty() ? "" : "<p>") + ConflictNote(m_options.conflictDate);
    copy.SetField(addressbook::Notes, text);
    addressbook::SetEntryUid(copy, copyUid);
    std::string hash = EntryHash(copy, copyUid);
    Add(copyUid, std::move(copy));
    return hash;
}

void BookSide::SetStatus(const std::string& uid, const std::optional<ItemStatus>& status) {
    if (status) {
        m_status[uid] = *status;
    } else {
        m_status.erase(uid);
    }
    if (Slot* slot = Find(uid)) {
        if (EntryStatus(slot->entry) != status) {
            SetEntryStatus(slot->entry, status);
            slot->touched = true;
        }
    }
}

std::string BookSide::Describe(const std::string& uid) {
    const Slot* slot = Find(uid);
    if (slot == nullptr) {
        return "the card " + uid;
    }
    const CAddressEntry& entry = slot->entry;
    std::string name(entry.GetField(addressbook::FirstName));
    const std::string_view last = entry.GetField(addressbook::LastName);
    if (!last.empty()) {
        name += (name.empty() ? "" : " ") + std::string(last);
    }
    for (const int other : {addressbook::Company, addressbook::Email1}) {
        if (name.empty()) {
            name = std::string(entry.GetField(other));
        }
    }
    return name.empty() ? "an entry without a name" : name;
}

std::vector<BookSide::Change> BookSide::TakeChanges() {
    std::vector<Change> changes;
    for (Slot& slot : m_slots) {
        if (slot.origin < 0) {
            continue;
        }
        const auto index = static_cast<std::size_t>(slot.origin);
        if (slot.removed) {
            changes.push_back(Change{index, std::nullopt});
        } else if (slot.touched) {
            changes.push_back(Change{index, std::move(slot.entry)});
        }
    }
    return changes;
}

std::vector<CAddressEntry> BookSide::TakeAdded() {
    std::vector<CAddressEntry> added;
    for (Slot& slot : m_slots) {
        if (slot.origin < 0 && !slot.removed) {
            added.push_back(std::move(slot.entry));
        }
    }
    return added;
}

std::vector<CAddressEntry> EntriesAfterSync(std::vector<CAddressEntry> entries,
                                            std::vector<BookSide::Change> changes,
                                            std::vector<CAddressEntry> added) {
    std::vector<bool> deleted(entries.size(), false);
    for (BookSide::Change& change : changes) {
        if (change.index >= entries.size()) {
            continue;
        }
        if (change.after) {
            entries[change.index] = std::move(*change.after);
        } else {
            deleted[change.index] = true;
        }
    }
    std::vector<CAddressEntry> after;
    after.reserve(entries.size() + added.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!deleted[i]) {
            after.push_back(std::move(entries[i]));
        }
    }
    for (CAddressEntry& entry : added) {
        after.push_back(std::move(entry));
    }
    return after;
}

}  // namespace booksync
