// What both sides of a sync and the engine between them share: the status
// of each card as of the last sync, why a sync or a request failed, what a
// sync did, and how far it has come.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace booksync {

// One card as both sides held it at the end of the last sync.
struct ItemStatus {
    std::string href;  // where the server keeps it
    std::string etag;  // the server's version tag then (may be empty)
    std::string hash;  // CardHash of its content then (card_hash.h)

    bool operator==(const ItemStatus&) const = default;
};

// By UID: the identity both sides share.
using SyncStatus = std::map<std::string, ItemStatus>;

enum class FailureKind {
    kNone,
    kCancelled,         // the user stopped the sync
    kUsage,             // a wrong address, no password: nothing was sent
    kNetwork,           // host not found, connection refused or cut, timeout
    kCertificate,       // TLS certificate not trusted
    kAuthentication,    // wrong user name or password (HTTP 401)
    kNotAnAddressBook,  // the address is no CardDAV address book
    kRefused,           // any other 4xx answer
    kServerError,       // a 5xx answer
    kBadResponse,       // an answer that cannot be read, or too large
    kMassDeletion,      // one side became empty: nothing was deleted
};

struct Failure {
    FailureKind kind = FailureKind::kNone;
    int httpStatus = 0;
    std::string message;  // in words a user understands

    explicit operator bool() const { return kind != FailureKind::kNone; }
    // True for what the server or the sync refused (the tool's exit 1), false
    // for the connection and usage failures (exit 2).
    bool IsRefusal() const;
};

Failure MakeFailure(FailureKind kind, std::string message, int httpStatus = 0);
// The user stopped the sync: the same words whichever side noticed it.
Failure CancelledFailure();

// What a sync did.
struct SyncCounts {
    int received = 0;   // cards new or changed on the server, stored here
    int sent = 0;       // entries new or changed here, stored on the server
    int deleted = 0;    // deleted on either side because the other deleted it
    int conflicts = 0;  // changed on both sides: both kept
    int postponed = 0;  // changed again during the sync: left for the next
    int unchanged = 0;  // the same on both sides
};

struct SyncReport {
    SyncCounts counts;
    // Cards and entries that could not be synchronized, in plain words.
    std::vector<std::string> problems;
    // The names of the entries changed on both sides (both versions kept).
    std::vector<std::string> conflicts;
    // True when some request was refused by the server (the tool's exit 1).
    bool refusedSome = false;
    // What stopped the sync before its end; the work done until then is kept.
    Failure failure;
    // True when every planned action ran (failed items are in `problems`).
    bool complete = false;
};

enum class SyncPhase { kConnecting, kListing, kFetching, kApplying, kSending, kDeleting, kDone };

struct SyncProgress {
    SyncPhase phase = SyncPhase::kConnecting;
    std::size_t done = 0;
    std::size_t total = 0;
};

}  // namespace booksync
