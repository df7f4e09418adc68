// In-memory sides for the sync engine: a "book" of items "uid|content" and
// a "server" of cards by href with ETags, able to lose its connection after
// a number of requests (before or after doing the work).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "booksync/sync_sides.h"

namespace booksync::testing {

// Items are texts "uid|content"; the hash is the content.
inline std::string ItemText(const std::string& uid, const std::string& content) {
    return uid + "|" + content;
}
inline std::pair<std::string, std::string> UidAndContent(const std::string& text) {
    const std::size_t bar = text.find('|');
    return {text.substr(0, bar), text.substr(bar + 1)};
}
inline const std::string kCopyMark = "(conflict-copy)";

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
        if (text.find('|') == std::string_view::npos) {
            problem = "unreadable";
            return std::nullopt;
        }
        const auto [uid, content] = UidAndContent(std::string(text));
        return ParsedCard{uid, content, std::any(content)};
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
    int etagCounter = 0;                // the last ETag given
    // After this many more requests the connection is lost (-1: never).
    int failAfter = -1;
    // Whether the request that loses the connection was carried out first.
    bool failAfterDoing = false;
    int fetched = 0;  // cards fetched so far

    void Put(const std::string& href, const std::string& text) {
        cards[href] = Card{text, "\"e" + std::to_string(++etagCounter) + "\""};
    }

    Failure List(const std::string&, const std::map<std::string, std::string>&,
                 RemoteListing& listing) override {
        if (Lost()) {
            return Cut();
        }
        for (const auto& [href, card] : cards) {
            listing.items.push_back(RemoteItem{href, card.etag});
        }
        return Failure();
    }
    Failure Fetch(const std::vector<std::string>& hrefs,
                  const std::function<void(const FetchedCard&)>& each) override {
        for (const std::string& href : hrefs) {
            if (Lost()) {
                return Cut();
            }
            ++fetched;
            const Card& card = cards.at(href);  // only listed cards are asked for
            each(FetchedCard{href, card.etag, card.text, 0});
        }
        return Failure();
    }
    Failure Put(const std::vector<PutRequest>& puts,
                const std::function<void(const PutRequest&, const ItemResult&)>& done) override {
        return Apply(puts, done, [this](const PutRequest& put, ItemResult& result) {
            if (put.ifMatch.empty() && cards.count(put.href) != 0) {
                result.kind = ItemResult::Kind::kPreconditionFailed;  // the href is taken
            } else {
                Put(put.href, put.text);
                result.etag = cards[put.href].etag;
            }
        });
    }
    Failure Delete(
        const std::vector<DeleteRequest>& deletes,
        const std::function<void(const DeleteRequest&, const ItemResult&)>& done) override {
        return Apply(deletes, done,
                     [this](const DeleteRequest& del, ItemResult&) { cards.erase(del.href); });
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
    bool Lost() { return failAfter > 0 ? (--failAfter, false) : failAfter == 0; }
    static Failure Cut() {
        return MakeFailure(FailureKind::kNetwork, "The connection to the server was lost.");
    }
};

}  // namespace booksync::testing
