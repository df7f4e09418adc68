// The identity of an entry: its UID, kept as the extra attribute
// 'UID' = "..." (extra_data.h).
//
// An imported vCard keeps the UID it came with; a card without one gets a
// derived one at import.  An entry without a UID (typed in, or from a book
// of an older version) gets one derived from its content whenever one is
// needed (vCard export, later a sync): a name-based UUID (version 5) of its
// 32 fields and its occurrence number among identical entries, written
// "urn:uuid:...".  So exporting the same book twice gives the same UIDs;
// the window stores the UID in the entry (SetEntryUid) to keep it from then
// on, whatever later edits change.
//
// Identity attributes (the UID, and any later sync state, whose attribute
// names begin with "Sync") belong to one entry only: a copy made by the
// editor's Copy command leaves them out (CopyWithoutIdentity).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/address_list.h"

namespace addressbook {

inline constexpr std::string_view kUidAttribute = "UID";

// The entry's UID, when it has one.
std::optional<std::string_view> EntryUid(const CAddressEntry& entry);
// Gives the entry `uid`: replaces the value of its 'UID' attribute, or adds
// the attribute in front of its other extra data.
void SetEntryUid(CAddressEntry& entry, std::string_view uid);

// Whether an extra attribute named `name` is part of an entry's identity.
bool IsIdentityAttribute(std::string_view name);
// The entry for the editor's Copy: fields and extra data, identity left out.
CAddressEntry CopyWithoutIdentity(const CAddressEntry& entry);

// "urn:uuid:" and the name-based UUID (version 5, in the program's own
// namespace) of `name`: the same name always gives the same UID.
std::string NameBasedUuid(std::string_view name);

// "urn:uuid:" and the name-based UUID of the entry's 32 fields and
// `occurrence` (0 for the first of identical entries).
std::string DerivedUid(const CAddressEntry& entry, int occurrence);

// Hands out the UIDs of a run of entries (one export, one import): an
// entry's own UID, or a derived one for an entry without, counting
// identical entries and never giving a UID that another entry of the run
// holds or was given.
class CUidAssigner {
public:
    // A UID the run must not give: every entry's own, before the first
    // UidFor.
    void Reserve(std::string_view uid);
    std::string UidFor(const CAddressEntry& entry);

private:
    bool IsTaken(std::size_t hash) const;

    // UIDs by their hash (two UIDs of one hash merely skip an occurrence):
    // the reserved ones collected in a vector and sorted once at the first
    // UidFor, since a run may reserve a UID for nearly every entry; those
    // given since in a set.
    std::vector<std::size_t> m_reserved;
    bool m_bSorted = false;
    std::unordered_set<std::size_t> m_given;
    // Identical entries met so far, by the hash of their derived UID of
    // occurrence 0.
    std::unordered_map<std::size_t, int> m_occurrences;
};

// The UID of every row of `list` as a vCard export writes it (the entries'
// own where they have one); the window stores the new ones with SetEntryUid.
std::vector<std::string> ExportUids(const IAddressList& list);
// Gives every entry without a UID the one ExportUids would give it.
void GiveMissingUids(std::vector<std::unique_ptr<CAddressEntry>>& entries);

}  // namespace addressbook
