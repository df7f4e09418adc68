#include "booksync/sync_engine.h"

#include <algorithm>
#include <utility>

#include "addressbook/entry_identity.h"

namespace booksync {

namespace {

template <typename Map>
void InsertKeys(const Map& map, std::set<std::string>& keys) {
    for (const auto& entry : map) {
        keys.insert(entry.first);
    }
}

// A failure of the server side stops the sync: noted in the report.
bool Succeeded(Failure failure, SyncReport& report) {
    if (!failure) {
        return true;
    }
    report.failure = std::move(failure);
    return false;
}

}  // namespace

struct SyncEngine::Plan {
    std::vector<std::string> download;    // stored here from the server
    std::vector<std::string> deleteHere;  // deleted there, unchanged here
    std::vector<std::string> record;      // the same on both sides
    std::vector<std::string> forget;      // gone from both sides
    std::vector<std::string> conflicts;   // changed on both sides
    std::vector<PutRequest> puts;
    std::vector<DeleteRequest> deletes;
    std::map<std::string, std::string> putHash;  // UID -> hash of what goes up
    std::set<std::string> copies;                // UIDs of conflict copies
    std::map<std::string, int> attempts;         // UID -> href attempt of a new card
    std::vector<PutRequest> taken;               // new cards whose href was taken
};

SyncEngine::SyncEngine(ILocalSide& local, IRemoteSide& remote) : m_local(local), m_remote(remote) {}

std::string SyncEngine::ConflictCopyUid(const std::string& uid, const std::string& hash) {
    return addressbook::NameBasedUuid("conflict copy\n" + uid + "\n" + hash);
}

bool SyncEngine::Cancelled(SyncReport& report) {
    if (report.failure) {
        return true;
    }
    if (m_cancelled && m_cancelled()) {
        report.failure = CancelledFailure();
        return true;
    }
    return false;
}

void SyncEngine::Progress(SyncPhase phase, std::size_t done, std::size_t total) {
    if (m_progress) {
        m_progress(SyncProgress{phase, done, total});
    }
}

void SyncEngine::Record(const std::string& uid, const ItemStatus& status) {
    m_status[uid] = status;
    m_local.SetStatus(uid, status);
}

// An upload arrived; a conflict copy counts as a conflict, not as sent.
void SyncEngine::RecordSent(const Plan& plan, const std::string& uid, const ItemStatus& status,
                            SyncReport& report) {
    Record(uid, status);
    if (plan.copies.count(uid) == 0) {
        ++report.counts.sent;
    }
}

void SyncEngine::Forget(const std::string& uid) {
    m_status.erase(uid);
    m_local.SetStatus(uid, std::nullopt);
}

SyncReport SyncEngine::Run(const std::string& token) {
    SyncReport report;
    m_token = token;
    m_status = m_local.LastStatus();
    m_there.clear();
    m_here.clear();
    m_untouchable.clear();
    if (!ListAndFetch(report)) {
        return report;
    }
    for (ILocalSide::Item& item : m_local.Items()) {
        m_here.emplace(std::move(item.uid), std::move(item.hash));
    }
    if (RefuseMassDeletion(report) || Cancelled(report)) {
        return report;
    }
    Plan plan = MakePlan(report);
    ApplyHere(plan, report);
    if (Cancelled(report) || !Upload(plan, report) || !RetryTakenHrefs(plan, report) ||
        Cancelled(report) || !DeleteThere(plan, report)) {
        return report;
    }
    report.complete = true;
    m_token = m_newToken;
    Progress(SyncPhase::kDone, 0, 0);
    return report;
}

// ---- 1. Listing and fetching ----

bool SyncEngine::ListAndFetch(SyncReport& report) {
    Progress(SyncPhase::kListing, 0, 0);
    if (Cancelled(report)) {
        return false;
    }
    std::map<std::string, std::string> known;  // href -> ETag
    std::map<std::string, std::string> uidAt;  // href -> UID
    for (const auto& [uid, status] : m_status) {
        known[status.href] = status.etag;
        uidAt[status.href] = uid;
    }
    RemoteListing listing;
    if (!Succeeded(m_remote.List(m_token, known, listing), report)) {
        return false;
    }
    m_newToken = listing.syncToken;
    m_nListed = listing.items.size();

    std::vector<std::string> fetch;
    std::map<std::string, std::string> etagAt;  // of the cards fetched
    for (const RemoteItem& item : listing.items) {
        const auto at = uidAt.find(item.href);
        if (at != uidAt.end() && !item.etag.empty() && m_status[at->second].etag == item.etag) {
            const ItemStatus& status = m_status[at->second];
            m_there[at->second] = RemoteCard{item.href, item.etag, status.hash, std::nullopt};
        } else {
            fetch.push_back(item.href);
            etagAt[item.href] = item.etag;
        }
    }
    if (Cancelled(report)) {
        return false;
    }
    Progress(SyncPhase::kFetching, 0, fetch.size());
    std::size_t fetched = 0;
    std::set<std::string> arrived;
    Failure failure = m_remote.Fetch(fetch, [&](const FetchedCard& card) {
        Progress(SyncPhase::kFetching, ++fetched, fetch.size());
        if (card.missingStatus == 404 || card.missingStatus == 410) {
            arrived.insert(card.href);
            return;  // deleted since the listing
        }
        std::string problem;
        std::optional<ParsedCard> parsed;
        if (card.missingStatus == 0) {
            parsed = m_local.Parse(card.text, card.href, problem);
        } else {
            problem = card.missingStatus == 413 ? "it is too large"
                                                : "the server did not send it (HTTP " +
                                                      std::to_string(card.missingStatus) + ")";
        }
        if (!parsed) {
            report.problems.push_back("Skipped the card " + card.href + ": " + problem + ".");
            return;  // left as it is on both sides (below)
        }
        arrived.insert(card.href);
        AddRemote(std::move(*parsed), card.href, card.etag.empty() ? etagAt[card.href] : card.etag,
                  report);
    });
    if (!Succeeded(std::move(failure), report)) {
        return false;
    }
    // A card the server listed but did not send, or that cannot be read,
    // stays as it is on both sides.
    for (const std::string& href : fetch) {
        if (arrived.count(href) == 0) {
            if (const auto at = uidAt.find(href); at != uidAt.end()) {
                m_untouchable.insert(at->second);
            }
        }
    }
    return !Cancelled(report);
}

void SyncEngine::AddRemote(ParsedCard card, const std::string& href, const std::string& etag,
                           SyncReport& report) {
    const std::string uid = card.uid;
    const auto existing = m_there.find(uid);
    if (existing != m_there.end()) {
        // Two cards of one identity: the one synced before keeps it.
        const auto status = m_status.find(uid);
        const bool newIsKnown = status != m_status.end() && status->second.href == href;
        const std::string& skipped = newIsKnown ? existing->second.href : href;
        report.problems.push_back("Skipped the card " + skipped +
                                  ": another card on the server has the same UID.");
        if (!newIsKnown) {
            return;
        }
    }
    m_there[uid] = RemoteCard{href, etag, card.hash, std::move(card)};
}

bool SyncEngine::RefuseMassDeletion(SyncReport& report) const {
    if (m_status.empty()) {
        return false;
    }
    if (m_here.empty() && !m_there.empty()) {
        report.failure = MakeFailure(
            FailureKind::kMassDeletion,
            "The book has no entries any more, but the address book on the server still holds " +
                std::to_string(m_there.size()) +
                " cards. Nothing was deleted on the server. To start again from the server's "
                "cards, synchronize an empty new book.");
        return true;
    }
    if (m_nListed == 0 && !m_here.empty()) {
        report.failure = MakeFailure(
            FailureKind::kMassDeletion,
            "The address book on the server has no cards any more, but the book still holds " +
                std::to_string(m_here.size()) +
                " entries. Nothing was deleted here. If the address book was emptied on purpose, "
                "delete the entries here too, or link the book to the address book again.");
        return true;
    }
    return false;
}

// ---- 2. The plan ----

SyncEngine::Plan SyncEngine::MakePlan(SyncReport& report) {
    Plan plan;
    std::set<std::string> identities;
    InsertKeys(m_here, identities);
    InsertKeys(m_there, identities);
    InsertKeys(m_status, identities);
    auto upload = [&](const std::string& uid, const std::string& href, const std::string& ifMatch) {
        plan.puts.push_back(PutRequest{uid, href, m_local.CardText(uid), ifMatch});
        plan.putHash[uid] = m_here[uid];
    };
    for (const std::string& uid : identities) {
        if (m_untouchable.count(uid) != 0) {
            continue;
        }
        const auto here = m_here.find(uid);
        const auto there = m_there.find(uid);
        const auto status = m_status.find(uid);
        const bool inHere = here != m_here.end();
        const bool inThere = there != m_there.end();
        const bool inStatus = status != m_status.end();
        const bool changedHere = inHere && (!inStatus || here->second != status->second.hash);
        const bool changedThere =
            inThere &&
            (!inStatus || (there->second.card && there->second.hash != status->second.hash));
        if (inHere && inThere) {
            if (!changedHere && !changedThere) {
                if (there->second.Status() != status->second) {
                    plan.record.push_back(uid);
                } else {
                    ++report.counts.unchanged;
                }
            } else if (changedHere && !changedThere) {
                upload(uid, there->second.href, there->second.etag);
            } else if (!changedHere && changedThere) {
                plan.download.push_back(uid);
            } else if (here->second == there->second.hash) {
                plan.record.push_back(uid);
            } else {
                plan.conflicts.push_back(uid);
            }
        } else if (inHere) {
            if (!inStatus || changedHere) {
                // New here, or deleted there while changed here.
                upload(uid, m_remote.HrefForNewCard(uid, 0), std::string());
            } else {
                plan.deleteHere.push_back(uid);
            }
        } else if (inThere) {
            if (!inStatus || changedThere) {
                // New there, or deleted here while changed there.
                plan.download.push_back(uid);
            } else {
                plan.deletes.push_back(DeleteRequest{uid, there->second.href, there->second.etag});
            }
        } else {
            plan.forget.push_back(uid);
        }
    }
    return plan;
}

// ---- 3. Acting ----

void SyncEngine::ApplyHere(Plan& plan, SyncReport& report) {
    Progress(SyncPhase::kApplying, 0, 0);
    auto storeHere = [&](const std::string& uid) {
        const RemoteCard& card = m_there[uid];
        m_local.Store(*card.card);
        m_here[uid] = card.hash;
        Record(uid, card.Status());
    };
    for (const std::string& uid : plan.conflicts) {
        const std::string name = m_local.Describe(uid);
        const std::string copyUid = ConflictCopyUid(uid, m_here[uid]);
        // A copy made by an earlier sync that was cut off is there already.
        if (m_here.count(copyUid) == 0 && m_there.count(copyUid) == 0) {
            const std::string copyHash = m_local.AddConflictCopy(uid, copyUid);
            m_here[copyUid] = copyHash;
            plan.puts.push_back(PutRequest{copyUid, m_remote.HrefForNewCard(copyUid, 0),
                                           m_local.CardText(copyUid), std::string()});
            plan.putHash[copyUid] = copyHash;
            plan.copies.insert(copyUid);
        }
        storeHere(uid);
        ++report.counts.conflicts;
        report.conflicts.push_back(name);
    }
    for (const std::string& uid : plan.download) {
        storeHere(uid);
        ++report.counts.received;
    }
    for (const std::string& uid : plan.deleteHere) {
        m_local.Remove(uid);
        m_here.erase(uid);
        Forget(uid);
        ++report.counts.deleted;
    }
    for (const std::string& uid : plan.record) {
        Record(uid, m_there[uid].Status());
        ++report.counts.unchanged;
    }
    for (const std::string& uid : plan.forget) {
        Forget(uid);
    }
}

void SyncEngine::ReportRefused(const std::string& action, const ItemResult& result,
                               SyncReport& report) {
    std::string line = "The server refused to " + action;
    if (result.httpStatus != 0) {
        line += " (HTTP " + std::to_string(result.httpStatus) + ")";
    }
    if (!result.message.empty()) {
        line += ": " + result.message;
    }
    report.problems.push_back(line + ".");
    report.refusedSome = true;
}

bool SyncEngine::Upload(Plan& plan, SyncReport& report) {
    std::vector<PutRequest> puts = std::move(plan.puts);
    plan.puts.clear();
    if (puts.empty()) {
        return true;
    }
    std::size_t done = 0;
    Progress(SyncPhase::kSending, 0, puts.size());
    Failure failure = m_remote.Put(puts, [&](const PutRequest& request, const ItemResult& result) {
        Progress(SyncPhase::kSending, ++done, puts.size());
        switch (result.kind) {
            case ItemResult::Kind::kDone:
                RecordSent(plan, request.uid,
                           ItemStatus{request.href, result.etag, plan.putHash[request.uid]},
                           report);
                break;
            case ItemResult::Kind::kPreconditionFailed:
                if (request.ifMatch.empty()) {
                    plan.taken.push_back(request);  // a card is there already
                } else {
                    ++report.counts.postponed;  // changed there meanwhile
                }
                break;
            case ItemResult::Kind::kNotFound:
                ++report.counts.postponed;  // deleted there meanwhile
                break;
            case ItemResult::Kind::kRefused:
                ReportRefused("store " + m_local.Describe(request.uid), result, report);
                break;
        }
    });
    return Succeeded(std::move(failure), report);
}

// A new card whose href was taken: by the same card, uploaded by a sync that
// was cut off before it could record it (then it is recorded now), or by
// another identity (then the card goes to another href).
bool SyncEngine::RetryTakenHrefs(Plan& plan, SyncReport& report) {
    constexpr int kMaxAttempts = 3;
    while (!plan.taken.empty()) {
        std::vector<PutRequest> taken = std::move(plan.taken);
        plan.taken.clear();
        std::map<std::string, PutRequest> byHref;
        std::vector<std::string> hrefs;
        for (PutRequest& request : taken) {
            hrefs.push_back(request.href);
            byHref[request.href] = std::move(request);
        }
        std::set<std::string> settled;
        Failure failure = m_remote.Fetch(hrefs, [&](const FetchedCard& card) {
            const auto it = byHref.find(card.href);
            if (it == byHref.end() || card.missingStatus != 0) {
                return;
            }
            const PutRequest& request = it->second;
            std::string problem;
            const std::optional<ParsedCard> parsed = m_local.Parse(card.text, card.href, problem);
            if (parsed && parsed->uid == request.uid) {
                settled.insert(card.href);
                if (parsed->hash == plan.putHash[request.uid]) {
                    RecordSent(plan, request.uid, ItemStatus{card.href, card.etag, parsed->hash},
                               report);
                } else {
                    ++report.counts.postponed;  // made there meanwhile
                }
            }
        });
        if (!Succeeded(std::move(failure), report)) {
            return false;
        }
        for (auto& [href, request] : byHref) {
            if (settled.count(href) != 0) {
                continue;
            }
            const int attempt = ++plan.attempts[request.uid];
            if (attempt >= kMaxAttempts) {
                ++report.counts.postponed;
                continue;
            }
            request.href = m_remote.HrefForNewCard(request.uid, attempt);
            plan.puts.push_back(std::move(request));
        }
        if (!Upload(plan, report)) {
            return false;
        }
    }
    return true;
}

bool SyncEngine::DeleteThere(Plan& plan, SyncReport& report) {
    if (plan.deletes.empty()) {
        return true;
    }
    std::size_t done = 0;
    Progress(SyncPhase::kDeleting, 0, plan.deletes.size());
    Failure failure =
        m_remote.Delete(plan.deletes, [&](const DeleteRequest& request, const ItemResult& result) {
            Progress(SyncPhase::kDeleting, ++done, plan.deletes.size());
            switch (result.kind) {
                case ItemResult::Kind::kDone:
                case ItemResult::Kind::kNotFound:
                    Forget(request.uid);
                    ++report.counts.deleted;
                    break;
                case ItemResult::Kind::kPreconditionFailed:
                    ++report.counts.postponed;  // changed there meanwhile
                    break;
                case ItemResult::Kind::kRefused:
                    ReportRefused("delete the card " + request.href, result, report);
                    break;
            }
        });
    return Succeeded(std::move(failure), report);
}

}  // namespace booksync
