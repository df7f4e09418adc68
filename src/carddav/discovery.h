// Finding the address books of an account (RFC 6764 and RFC 6352), from
// whatever the user typed as the server's address:
// 1. a server's root ("https://dav.example.org/" or just the host name):
//    first /.well-known/carddav, whose redirect leads to the service;
// 2. a PROPFIND there asks for the resource type, the user's principal
//    (current-user-principal) and the address book home set;
// 3. the principal's addressbook-home-set, when the first answer did not
//    name it;
// 4. a PROPFIND of depth 1 of each home set lists the collections whose
//    resource type is addressbook, with their display names.
// An address that is itself an address book gives that one.
#pragma once

#include <QString>
#include <QUrl>
#include <vector>

#include "booksync/sync_types.h"
#include "carddav/dav_client.h"

namespace carddav {

struct FoundAddressBook {
    QUrl url;
    QString name;  // the display name, or the last part of the path
};

struct Discovery {
    std::vector<FoundAddressBook> books;
    // Set when none could be found: why.
    booksync::Failure failure;
};

Discovery FindAddressBooks(DavClient& client, const QUrl& start);

}  // namespace carddav
