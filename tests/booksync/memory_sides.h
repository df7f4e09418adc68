// In-memory sides for the sync engine: a "book" of items "uid|content" and
// a "server" of cards by href with ETags, able to lose its connection after
// a number of requests (before or after doing the work).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "booksync/sync_sides.h"

namespace booksync::testing {

// Items are texts "uid|content"; the hash is the content.
inline std::string ItemText(const std::string& uid, const std::string& content) {
    return uid + "|" + content;
}
inline std::string UidOf(const std::string& text) {
    return text.substr(0, text.find('|'));
}
inline std::string ContentOf(const std::string& text) {
    return text.substr(text.find('|') + 1);
}
inline const std::string kCopyMark = " [conflict copy]";

class MemoryLocal final : public ILocalSide {
public:
    std::map<std::string, std::string> items;  // uid -> content
    SyncStatus status;

    std::vector<Item> Items() override {
        std::vector<Item> list;
        for (const auto& [uid, content] : items) {
            list.push_back(Item{uid, content});
        }
        return list;
    }
    SyncStatus LastStatus() override { return status; }
    std::string CardText(const std::string& uid) override { return ItemText(uid, items.at(uid)); }
    std::optional<ParsedCard> Parse(std::string_view text, const std::string&,
                                    std::string& problem) override {
        const std::string card(text);
        if (card.find('|') == std::string::npos) {
            problem = "unreadable";
            return std::nullopt;
        }
        return ParsedCard{UidOf(card), ContentOf(card), std::any(ContentOf(card))};
    }
    void Store(const ParsedCard& card) override {
        items[card.uid] = std::any_cast<std::string>(card.entry);
    }
    void Remove(const std::string& uid) override { items.erase(uid); }
    std::string AddConflictCopy(const std::string& uid, const std::string& copyUid) override {
        return items[copyUid] = items.at(uid) + kCopyMark;
    }
    void SetStatus(const std::string& uid, const std::optional<ItemStatus>& s) override {
        s ? void(status[uid] = *s) : void(status.erase(uid));
    }
    std::string Describe(const std::string& uid) override { return uid; }
};

class MemoryRemote final : public IRemoteSide {
public:
    struct Card {
        std::string text;
        std::string etag;
    };
    std::map<std::string, Card> cards;  // by href
    int etagCounter = 0;
    // After this many more requests the connection is lost (-1: never).
    int failAfter = -1;
    // Whether the request that loses the connection was carried out first.
    bool failAfterDoing = false;
    std::vector<std::string> hrefsFetched;

    void Put(const std::string& href, const std::string& text) {
        cards[href] = Card{text, "\"e" + std::to_string(++etagCounter) + "\""};
    }
    std::string HrefOfUid(const std::string& uid) const {
        for (const auto& [href, card] : cards) {
            if (UidOf(card.text) == uid) {
                return href;
            }
        }
        return std::string();
    }

    Failure List(const std::string&, const std::map<std::string, std::string>&,
                 RemoteListing& listing) override {
        if (Lost()) {
            return Cut();
        }
        for (const auto& [href, card] : cards) {
            listing.items.push_back(RemoteItem{href, card.etag});
        }
        listing.syncToken = "token" + std::to_string(etagCounter);
        return Failure();
    }
    Failure Fetch(const std::vector<std::string>& hrefs,
                  const std::function<void(const FetchedCard&)>& each) override {
        for (const std::string& href : hrefs) {
            if (Lost()) {
                return Cut();
            }
            hrefsFetched.push_back(href);
            const auto it = cards.find(href);
            each(it == cards.end() ? FetchedCard{href, "", "", 404}
                                   : FetchedCard{href, it->second.etag, it->second.text, 0});
        }
        return Failure();
    }
    Failure Put(const std::vector<PutRequest>& puts,
                const std::function<void(const PutRequest&, const ItemResult&)>& done) override {
        return Apply(puts, done, [this](const PutRequest& put, ItemResult& result) {
            const auto it = cards.find(put.href);
            if (put.ifMatch.empty() ? it != cards.end()
                                    : (it == cards.end() || it->second.etag != put.ifMatch)) {
                result.kind = it == cards.end() ? ItemResult::Kind::kNotFound
                                                : ItemResult::Kind::kPreconditionFailed;
            } else {
                Put(put.href, put.text);
                result.etag = cards[put.href].etag;
            }
        });
    }
    Failure Delete(
        const std::vector<DeleteRequest>& deletes,
        const std::function<void(const DeleteRequest&, const ItemResult&)>& done) override {
        return Apply(deletes, done, [this](const DeleteRequest& del, ItemResult& result) {
            const auto it = cards.find(del.href);
            if (it == cards.end()) {
                result.kind = ItemResult::Kind::kNotFound;
            } else if (it->second.etag != del.ifMatch) {
                result.kind = ItemResult::Kind::kPreconditionFailed;
            } else {
                cards.erase(it);
            }
        });
    }
    std::string HrefForNewCard(const std::string& uid, int attempt) override {
        return "/book/" + uid + (attempt > 0 ? "-" + std::to_string(attempt) : "") + ".vcf";
    }

private:
    // Carries out each request in turn; a lost connection stops before or
    // after the work, as failAfterDoing says, without telling the result.
    template <typename Request, typename Done, typename Work>
    Failure Apply(const std::vector<Request>& requests, const Done& done, const Work& work) {
        for (const Request& request : requests) {
            const bool lost = Lost();
            if (lost && !failAfterDoing) {
                return Cut();
            }
            ItemResult result;
            work(request, result);
            if (lost) {
                return Cut();
            }
            done(request, result);
        }
        return Failure();
    }
    bool Lost() {
        if (failAfter > 0) {
            --failAfter;
            return false;
        }
        return failAfter == 0;
    }
    static Failure Cut() {
        return MakeFailure(FailureKind::kNetwork, "The connection to the server was lost.");
    }
};

}  // namespace booksync::testing
