// A book's link to one CardDAV address book, and the sync state it keeps.
//
// The book file holds it as its `carddav` clause (addressbook/book_file.h):
//
//     carddav('Url' = "https://dav.example.org/addressbooks/jane/contacts/",
//       'User' = "jane",
//       'Name' = "Contacts",
//       'SyncToken' = "http://example.org/ns/sync/42",
//       'Card' = ["urn:uuid:...", "/addressbooks/jane/contacts/4fbe.vcf", "\"1c2b\"", "9a0f..."],
//       ...).
//
// One 'Card' per card that both sides held at the end of the last sync:
// its UID, href, ETag and content hash.  That is what tells an entry
// deleted here since (the card is listed, the entry is gone) from a card
// new on the server.  The token is that of the last complete sync.  No
// password is ever kept here.
//
// Each synced entry also carries its own status in its extra data:
//     'SyncHref' = "...", 'SyncEtag' = "...", 'SyncHash' = "..."
// (names beginning with "Sync" belong to the entry's identity, which the
// editor's Copy leaves out).  Where both are present, the entry's own wins.
#pragma once

#include <optional>
#include <string>

#include "addressbook/address_entry.h"
#include "addressbook/extra_data.h"
#include "booksync/sync_types.h"

namespace booksync {

struct BookLink {
    std::string url;   // the address book's URL
    std::string user;  // the user name at that server
    std::string name;  // the address book's display name, for messages
    std::string syncToken;
    SyncStatus known;  // by UID

    bool operator==(const BookLink&) const = default;
};

// The link held by a `carddav` clause's arguments; nothing when they name
// no URL.  Arguments it does not know are ignored.
std::optional<BookLink> ReadBookLink(const addressbook::CExtraData& arguments);
// The clause arguments for `link`.
addressbook::CExtraData WriteBookLink(const BookLink& link);

// The status an entry carries, when it carries a whole one.
std::optional<ItemStatus> EntryStatus(const addressbook::CAddressEntry& entry);
// Replaces the entry's status (removes it for nothing), leaving the rest of
// its extra data as it was.
void SetEntryStatus(addressbook::CAddressEntry& entry, const std::optional<ItemStatus>& status);

}  // namespace booksync
