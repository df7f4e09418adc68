// The content hash that a sync compares: whether an entry changed since the
// last sync, and whether the card on the server holds the same as the entry
// here.
//
// Servers rewrite the cards they store (a CardDAV server may reorder the
// properties, write "TYPE=INTERNET,pref" for "type=INTERNET;type=pref", fold
// lines elsewhere), so the hash is taken over what the card means rather
// than its bytes: the canonical text of each property (the same as
// vcard::SameProperty compares), sorted, VERSION and PRODID left out.
#pragma once

#include <string>
#include <string_view>

#include "addressbook/address_entry.h"

namespace booksync {

// The hash of the first card of `cardText` (40 hexadecimal digits); the
// hash of no properties when there is none.
std::string CardHash(std::string_view cardText);

// The card that a sync uploads for `entry` (vCard 3.0, every kept property
// written back), and its hash.
std::string EntryCardText(const addressbook::CAddressEntry& entry, std::string_view uid);
std::string EntryHash(const addressbook::CAddressEntry& entry, std::string_view uid);

}  // namespace booksync
