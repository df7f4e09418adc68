// Leaving out of an import what the book already holds.
//
// An imported entry is taken to be in the book already when it shares a key
// with an entry of the book as Find Duplicates matches them (MatchKeysOf:
// the same name, e-mail address or phone number, with the same guard that a
// shared address or number joins no entries whose names cannot be one
// person's), or when both carry the same UID (the same contact, exported and
// imported again).  Entries of the import that only match each other are
// all kept: they are not in the book yet.
//
// The vCard import and the header-matched delimited import ask
// CExistingEntries entry by entry while they read, so that what a left-out
// entry would have kept as extra data is not reported, and use
// ImportSummaryText for the words of their reports.  The book's keys are
// gathered once into a hash table, so an import of m entries into a book of
// n costs about n + m look-ups.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "addressbook/address_list.h"
#include "addressbook/book_file.h"

namespace addressbook {

// The keys and UIDs of a book's entries, to ask whether the book already
// holds an entry.  Made from the book as it is; later changes to the book
// are not seen.
class CExistingEntries {
public:
    explicit CExistingEntries(const IAddressList& book);

    bool Holds(const CAddressEntry& entry) const;

private:
    // Who in the book holds one e-mail or phone key: whether some holder
    // has no name, and the different names of the others.
    struct Holders {
        bool unnamed = false;
        std::vector<std::string> names;
    };
    // By kind and text (see MatchKey); names hold no Holders.
    std::unordered_map<std::string, Holders> m_keys;
    std::unordered_set<std::string> m_uids;
};

// "312 addresses imported." and, when `skipped` > 0, " 12 already in the
// book were skipped." ("1 already in the book was skipped.").
std::string ImportSummaryText(int imported, int skipped);

}  // namespace addressbook
