// The two sides of a sync as the engine (sync_engine.h) sees them: the book
// here (ILocalSide) and the address book on the server (IRemoteSide).  The
// engine knows nothing of vCards, HTTP or the window: the book side is
// BookSide (book_side.h) over a book's entries, the server side is the
// CardDAV client (carddav/remote_address_book.h), and the tests put
// in-memory sides in their place.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "booksync/sync_types.h"

namespace booksync {

// A card fetched from the server, read by the book side.
struct ParsedCard {
    std::string uid;
    std::string hash;  // CardHash of the card as the book would hold it
    std::any entry;    // the book side's own form of it, handed back to Store
};

class ILocalSide {
public:
    struct Item {
        std::string uid;
        std::string hash;
    };

    virtual ~ILocalSide() = default;

    // Every item, with its identity (distinct) and the hash of its content.
    virtual std::vector<Item> Items() = 0;
    // The status of the last sync, by UID.
    virtual SyncStatus LastStatus() = 0;
    // The card text to upload for item `uid`.
    virtual std::string CardText(const std::string& uid) = 0;
    // Reads a card fetched from `href`: its identity, its hash and the
    // entry.  Nothing when it is no card this side can hold (the reason in
    // `problem`).
    virtual std::optional<ParsedCard> Parse(std::string_view text, const std::string& href,
                                            std::string& problem) = 0;
    // Stores a fetched card as item `card.uid`, replacing the item of that
    // UID or adding one.
    virtual void Store(const ParsedCard& card) = 0;
    virtual void Remove(const std::string& uid) = 0;
    // Adds a copy of item `uid` as item `copyUid`, marked in its text as a
    // conflict copy made here; returns the copy's hash.
    virtual std::string AddConflictCopy(const std::string& uid, const std::string& copyUid) = 0;
    // Records the status of `uid` (nothing: the item is no longer synced).
    virtual void SetStatus(const std::string& uid, const std::optional<ItemStatus>& status) = 0;
    // A name for `uid` in messages ("Jane Doe").
    virtual std::string Describe(const std::string& uid) = 0;
};

// One card of the server's listing.
struct RemoteItem {
    std::string href;
    std::string etag;
};

struct RemoteListing {
    std::vector<RemoteItem> items;
    // The token to ask for the changes since this listing (empty when the
    // server offers none).
    std::string syncToken;
};

struct FetchedCard {
    std::string href;
    std::string etag;
    std::string text;
    // Set when the server gave no card for `href`: 404 or 410 when it went
    // away since the listing, 413 when it is too large, another status when
    // the server did not say; text and etag are then empty.
    int missingStatus = 0;
};

// An upload: a new card (ifMatch empty: "If-None-Match: *") or a new version
// of one the server holds ("If-Match: ifMatch").
struct PutRequest {
    std::string uid;
    std::string href;
    std::string text;
    std::string ifMatch;
};

struct DeleteRequest {
    std::string uid;
    std::string href;
    std::string ifMatch;
};

// The answer to one upload or deletion.
struct ItemResult {
    enum class Kind {
        kDone,                // stored, or deleted (a card already gone counts)
        kPreconditionFailed,  // the server's card is not the one expected (412)
        kNotFound,            // no card at that address any more (404)
        kRefused,             // another 4xx: the server will not take it
    };
    Kind kind = Kind::kDone;
    int httpStatus = 0;
    std::string etag;  // the new version tag of an upload, when the server said
    std::string message;
};

class IRemoteSide {
public:
    virtual ~IRemoteSide() = default;

    // Lists every card.  `token` and `known` (href -> etag, the listing at the
    // time of the token) let a server that offers changes since a token
    // send only those; the listing is complete either way.
    virtual Failure List(const std::string& token, const std::map<std::string, std::string>& known,
                         RemoteListing& listing) = 0;
    // Fetches the cards at `hrefs`, calling `each` with every one as it
    // arrives.  A failure stops the fetch (the cards already handed out
    // stay handed out).
    virtual Failure Fetch(const std::vector<std::string>& hrefs,
                          const std::function<void(const FetchedCard&)>& each) = 0;
    // Runs the uploads, calling `done` with each answer as it arrives (in
    // any order).  A failure (the connection lost) stops the rest.
    virtual Failure Put(const std::vector<PutRequest>& puts,
                        const std::function<void(const PutRequest&, const ItemResult&)>& done) = 0;
    virtual Failure Delete(
        const std::vector<DeleteRequest>& deletes,
        const std::function<void(const DeleteRequest&, const ItemResult&)>& done) = 0;
    // Where a new card of identity `uid` goes; the same UID always gives the
    // same address, so an upload repeated after an interrupted sync finds
    // the card it already stored.  `attempt` > 0 gives other addresses, for
    // when that one is taken by a card of another identity.
    virtual std::string HrefForNewCard(const std::string& uid, int attempt) = 0;
};

}  // namespace booksync
