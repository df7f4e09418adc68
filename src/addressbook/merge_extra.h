// The extra data (extra_data.h) of an entry merged from several: a merge
// keeps what the entries held beyond their fields, as it keeps their field
// texts (duplicate_merge.h).
//
// - Identity: the UID (and any other identity attribute) of the first entry
//   that has one.  The others' are dropped: the merged entry is one contact
//   with one identity, and a later sync rightly sees their cards as deleted.
// - vCard properties and every other term: the union, in entry order, each
//   text once (an identical BDAY is kept once, two different ones both).
// - Forms (vCardForm): a form stays when every field it names holds the same
//   text in its own entry and in the merged one (a form naming no field:
//   only the first entry's), one per property.  What another form held
//   beyond the fields (a name suffix, a post-office box) goes to the notes
//   in words ("Name suffix: Jr."), unless the form's property is kept
//   whole as a vCard property because the merged entry has no place for its
//   texts (KeepLeftovers).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/duplicate_merge.h"

namespace addressbook {

// The extra data of `merged` (whose fields are the merge's) made from
// `entries`.  `leftovers` are the texts of the entries that the merged
// entry has no field for; words for the notes are appended to `notes`.
CExtraData MergeExtraData(const std::vector<const CAddressEntry*>& entries,
                          const CAddressEntry& merged, std::span<const Leftover> leftovers,
                          std::vector<std::string>& notes);

}  // namespace addressbook
