// Finding the entries of a book that probably describe the same person.
//
// Two entries match when they share a key (match_keys.h): the same name
// (case, accents, spacing and the order of the words aside), the same e-mail
// address in either e-mail field, or the same phone number in any of the
// five phone fields.  Matching is transitive: when A shares an e-mail
// address with B and B a phone number with C, the three form one group.
// A group never holds two names that cannot be one person's: an e-mail
// address or a phone number shared by entries with different names
// (colleagues behind one switchboard number, a family's mailbox) does not
// join them, while "J. Doe" and "Jane Doe" may be joined.
//
// Each key is looked up once in a hash table and every match joins two sets
// of a union-find forest, so a book of n entries costs about n look-ups,
// never n * n comparisons.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_list.h"

namespace addressbook {

// What a group's entries were matched by (bits).
enum MatchReason : unsigned {
    kMatchName = 1u,
    kMatchEmail = 2u,
    kMatchPhone = 4u,
};

// One key of an entry: its kind and its text (see match_keys.h).
struct MatchKey {
    MatchReason kind;
    std::string text;
};

// Every key of `entry`: its name, its e-mail addresses and its phone
// numbers, as FindDuplicates matches them.  Two entries with an equal key
// (same kind, same text) probably describe the same person, so whatever
// needs to know whether an entry is already in a book can look its keys up
// among the book's.
std::vector<MatchKey> MatchKeysOf(const CAddressEntry& entry);

struct DuplicateGroup {
    std::vector<int> rows;  // two or more, ascending
    unsigned reasons = 0;   // MatchReason bits of the matches that joined them
};

// Whether two name keys (NameKey) may name one person: every word of the
// shorter stands in the longer, itself or as its initial ("j doe" and
// "doe jane").  An e-mail address or a phone number shared by entries whose
// names fail this joins nothing.
bool NamesMayBeOnePerson(std::string_view a, std::string_view b);

// The groups of `list`, ordered by their first row.
std::vector<DuplicateGroup> FindDuplicates(const IAddressList& list);

// The fields whose texts are not all the same (compared exactly) among the
// entries of `rows`, in field order.
std::vector<int> DifferingFields(const IAddressList& list, const std::vector<int>& rows);

}  // namespace addressbook
