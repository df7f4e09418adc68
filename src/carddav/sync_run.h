// One sync of a book with its CardDAV address book, from the account to the
// changes to make to the book: what the tool and the window both run (the
// window on a worker thread, with copies of its entries).
//
//   SyncRequest request;  request.url = ...; request.entries = copies; ...
//   SyncOutcome outcome = RunSync(request);
//   apply outcome.changes and outcome.added to the book, keep outcome.link
//
// The book's link (booksync::BookLink) names the address book and holds
// the status of the last sync.  A URL other than the linked one links the
// book anew: the old status belongs to the other address book and is
// dropped, so the first sync with the new one deletes nothing anywhere.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "addressbook/address_entry.h"
#include "booksync/book_link.h"
#include "booksync/book_side.h"
#include "booksync/sync_types.h"
#include "carddav/dav_client.h"

namespace carddav {

struct SyncRequest {
    QString url;  // the address book; empty: the one the book is linked to
    QString user;
    QString password;
    // Certificates the user accepted: SHA-256 digests by "host:port".
    QMap<QString, QStringList> trustedCertificates;
    std::vector<addressbook::CAddressEntry> entries;  // the book's, in list order
    std::optional<booksync::BookLink> link;           // the book's link
    std::string conflictDate;                         // empty: today
    std::atomic<bool>* cancel = nullptr;
    std::function<void(const booksync::SyncProgress&)> progress;
    ClientOptions client;
};

struct SyncOutcome {
    booksync::SyncReport report;
    // The entries of the request that changed or went, and the new ones.
    std::vector<booksync::BookSide::Change> changes;
    std::vector<addressbook::CAddressEntry> added;
    // The link to keep; nothing when the book's link stays as it was (the
    // address book could not even be opened).
    std::optional<booksync::BookLink> link;
    QString addressBookName;
    // Set when the sync failed on a certificate the system does not trust.
    std::optional<CertificateInfo> untrustedCertificate;
    // What the sync did, for the user (booksync::SummaryText).
    QString summary;
};

SyncOutcome RunSync(SyncRequest request);

// The address a request syncs with, as given: its URL, else the linked one.
QString AddressText(const SyncRequest& request);

}  // namespace carddav
