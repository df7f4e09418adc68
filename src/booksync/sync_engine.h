// SyncEngine: one two-way sync between the book (ILocalSide) and an address
// book on the server (IRemoteSide), matching items by UID.
//
// 1. List both sides.  The server lists hrefs and ETags; a card is fetched
//    only when its href is new or its ETag differs from the status of the
//    last sync (one multiget per batch).  Every other card is known by the
//    status: its UID and hash.
// 2. Plan per identity, from the status of the last sync (S), the hash of
//    the entry here (L) and that of the card there (R).  A side changed when
//    its hash differs from the status (on the server only when the ETag
//    differs too: a server that only rewrote an ETag changed nothing).
//      here and there, both unchanged        nothing (a new ETag recorded)
//      here and there, changed on one side   the other side takes it
//      here and there, changed on both       the same content: recorded;
//                                            else a conflict (below)
//      here and there, no status (first sync) the same: recorded; else a
//                                            conflict
//      here only, no status                  new here: uploaded
//      here only, with status                changed here: uploaded again
//                                            (deleted there, changed here);
//                                            else deleted there: deleted here
//      there only, no status                 new there: stored here
//      there only, with status               changed there: stored here
//                                            again; else deleted here:
//                                            deleted there
//      status only                           gone on both sides: forgotten
//    A conflict keeps both: the server's version takes the entry's place and
//    the entry goes, as a copy under a new UID marked in its notes, to both
//    sides.  The copy's UID comes from the entry's UID and content, so a
//    conflict met again after an interrupted sync finds its copy and makes
//    no second one.
// 3. Act: the changes here first (they cannot fail), then the uploads and
//    the deletions on the server.  Each action records the new status of its
//    own identity at once, so a sync cut off half-way keeps the work done,
//    and the next one resumes: it finds uploads that arrived (a new card's
//    href comes from its UID) and takes them as they are.
//
// When one side has become empty since the last sync while the other still
// holds items, nothing is done and the sync says so: a deleted address book
// or an emptied book is far more often a mistake than a wish.
#pragma once

#include <functional>
#include <set>
#include <string>

#include "booksync/sync_sides.h"
#include "booksync/sync_types.h"

namespace booksync {

class SyncEngine {
public:
    SyncEngine(ILocalSide& local, IRemoteSide& remote);

    void SetProgressHandler(std::function<void(const SyncProgress&)> handler) {
        m_progress = std::move(handler);
    }
    // Asked between steps; true stops the sync (the work done stays done).
    void SetCancelCheck(std::function<bool()> check) { m_cancelled = std::move(check); }

    // Runs one sync; `token` is that of the last complete sync (empty for
    // none).
    SyncReport Run(const std::string& token);

    // The token to keep: the new one after a complete sync, else the old.
    const std::string& TokenToKeep() const { return m_token; }
    // The status at the end, by UID.
    const SyncStatus& Status() const { return m_status; }

    // The UID of the copy that a conflict of `uid` with content `hash` makes.
    static std::string ConflictCopyUid(const std::string& uid, const std::string& hash);

private:
    struct RemoteCard {
        std::string href;
        std::string etag;
        std::string hash;
        std::optional<ParsedCard> card;  // when fetched in this sync

        ItemStatus Status() const { return ItemStatus{href, etag, hash}; }
    };
    struct Plan;

    bool Cancelled(SyncReport& report);
    void Progress(SyncPhase phase, std::size_t done, std::size_t total);
    bool ListAndFetch(SyncReport& report);
    void AddRemote(ParsedCard card, const std::string& href, const std::string& etag,
                   SyncReport& report);
    bool RefuseMassDeletion(SyncReport& report) const;
    Plan MakePlan(SyncReport& report);
    void ApplyHere(Plan& plan, SyncReport& report);
    bool Upload(Plan& plan, SyncReport& report);
    bool RetryTakenHrefs(Plan& plan, SyncReport& report);
    bool DeleteThere(Plan& plan, SyncReport& report);
    void Record(const std::string& uid, const ItemStatus& status);
    void RecordSent(const Plan& plan, const std::string& uid, const ItemStatus& status,
                    SyncReport& report);
    void Forget(const std::string& uid);
    void ReportRefused(const std::string& action, const ItemResult& result, SyncReport& report);

    ILocalSide& m_local;
    IRemoteSide& m_remote;
    std::function<void(const SyncProgress&)> m_progress;
    std::function<bool()> m_cancelled;

    SyncStatus m_status;
    std::string m_token;
    std::string m_newToken;
    std::map<std::string, RemoteCard> m_there;  // by UID
    std::map<std::string, std::string> m_here;  // UID -> hash
    std::set<std::string> m_untouchable;        // cards that could not be read
    std::size_t m_nListed = 0;
};

}  // namespace booksync
