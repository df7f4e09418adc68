// Merging entries that describe the same person into one, losing nothing.
//
// The merged entry takes one text per field, chosen by the user or by
// DefaultMerge.  Every other text the entries held is still kept: a text
// that no field of the merged entry holds (compared with SameFieldValue
// within the field's family, below) is handed to KeepLeftovers, which keeps
// it as a vCard property in the extra data where one fits (a second home
// phone as TEL;TYPE=HOME,VOICE:..., a third e-mail address as EMAIL:...,
// another address as ADR:...), else in the notes (parts of the name, which
// a card holds once; an extension without its number).  What the entries
// held beyond their fields (photos, birthdays, their UIDs) is merged too
// (merge_extra.h).
//
// Some fields can stand in for each other, so a text that loses its own
// field may take a free field of its family instead: the two names, the two
// e-mail addresses, the two web addresses, and the home, work and cell
// phones (each with its extension).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_entry.h"

namespace addressbook {

// The text each field of a merged entry takes, in field order.
using MergeValues = std::array<std::string, kFieldCount>;

// The fields that can stand in for `field`, `field` included, in order; only
// `field` itself when it has no family.
std::span<const int> FieldFamily(int field);

// The texts `field` may take in a merge of `entries`: the different
// non-empty texts of the field, then of the other fields of its family, in
// the order of the entries; the first `limit` of them.
std::vector<std::string> MergeCandidates(const std::vector<const CAddressEntry*>& entries,
                                         int field, std::size_t limit = SIZE_MAX);

// The merge made unless the user chooses otherwise.  Each field takes the
// first non-empty text among the entries (a phone number the longest
// spelling of that number, and its extension and pager card from the same
// entry).  Then the texts of a family that no field of it took go to the
// family's fields left empty, in order: a second e-mail address to Email 2,
// a second home number to Work Phone or Cell Phone with its extension.
MergeValues DefaultMerge(const std::vector<const CAddressEntry*>& entries);

// A text of field `field` that the merged entry has no place for, and the
// entry it comes from (null: a text alone).
struct Leftover {
    int field;
    std::string_view text;
    const CAddressEntry* from = nullptr;
};

// The merged entry: `values`, the merged extra data of `entries`
// (MergeExtraData), and every text of `entries` that it does not hold,
// given to KeepLeftovers in field order and then entry order, each
// different text once.
CAddressEntry MergeEntries(const std::vector<const CAddressEntry*>& entries,
                           const MergeValues& values);

// Keeps the texts the merged entry has no place for.  A text of a field
// whose property a card may hold more than once becomes that property, as
// `from` wrote it (vcard::LonePropertyLine: the number with its extension,
// the whole address), in the extra data, each line once.  The others are
// appended to its notes, a line "Label: text" each (notes as they are), in
// the "<p>" form that the entry editor writes for line breaks.
void KeepLeftovers(CAddressEntry& merged, std::span<const Leftover> leftovers);

}  // namespace addressbook
