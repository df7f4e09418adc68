// The sync engine between an in-memory book and server: each rule of the
// plan, the refusal to copy an emptied side over the other, syncs cut off
// half-way, and server cards it cannot simply take.
#include "booksync/sync_engine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace booksync {
namespace {

using Contents = std::map<std::string, std::string>;  // uid -> content

// Items written "a=A1 b=B1"; a card's text is one of them.
Contents Written(const std::string& text) {
    Contents items;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const std::size_t equals = word.find('=');
        items[word.substr(0, equals)] = equals == std::string::npos ? "" : word.substr(equals + 1);
    }
    return items;
}

const std::string kCopyMark = "(conflict-copy)";

// The book: items by UID, the hash of each its content.
class MemoryBook final : public ILocalSide {
public:
    Contents items;
    SyncStatus status;

    std::vector<Item> Items() override {
        std::vector<Item> list;
        for (const auto& [uid, content] : items) {
            list.push_back(Item{uid, content});
        }
        return list;
    }
    SyncStatus LastStatus() override { return status; }
    std::string CardText(const std::string& uid) override { return uid + "=" + items.at(uid); }
    std::optional<ParsedCard> Parse(std::string_view text, const std::string&,
                                    std::string& problem) override {
        if (text.find('=') == std::string_view::npos) {
            problem = "unreadable";
            return std::nullopt;
        }
        const auto [uid, content] = *Written(std::string(text)).begin();
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

// The server: cards by href with ETags, able to lose its connection after a
// number of requests, before or after doing the work.
class MemoryServer final : public IRemoteSide {
public:
    struct Card {
        std::string text;
        std::string etag;
    };
    std::map<std::string, Card> cards;  // by href
    int etagCounter = 0;                // the last ETag given
    int failAfter = -1;                 // requests until the connection is lost (-1: never)
    bool failAfterDoing = false;        // whether the request that loses it was carried out
    int fetched = 0;                    // cards fetched so far

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
        return Apply<FetchedCard>(
            hrefs, [&](const std::string&, const FetchedCard& card) { each(card); },
            [this](const std::string& href, FetchedCard& card) {
                ++fetched;
                card = FetchedCard{href, cards.at(href).etag, cards.at(href).text, 0};
            });
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
    // after the work, as failAfterDoing says, without telling the answer.
    template <typename Answer = ItemResult, typename Request, typename Done, typename Work>
    Failure Apply(const std::vector<Request>& requests, const Done& done, const Work& work) {
        for (const Request& request : requests) {
            const bool lost = Lost();
            if (lost && !failAfterDoing) {
                return Cut();
            }
            Answer answer;
            work(request, answer);
            if (lost) {
                return Cut();
            }
            done(request, answer);
        }
        return Failure();
    }
    bool Lost() { return failAfter > 0 ? (--failAfter, false) : failAfter == 0; }
    static Failure Cut() {
        return MakeFailure(FailureKind::kNetwork, "The connection to the server was lost.");
    }
};

constexpr bool kHere = true, kThere = false;

auto Tie(const SyncCounts& c) {
    return std::tie(c.received, c.sent, c.deleted, c.conflicts, c.postponed, c.unchanged);
}

struct Pair {
    MemoryBook local;
    MemoryServer remote;

    // A book and a server holding the items `here` and `there`, synced once.
    explicit Pair(const std::string& here = "", const std::string& there = "") {
        Edit(kHere, here);
        Edit(kThere, there);
        EXPECT_TRUE(Sync().complete);
    }

    SyncReport Sync() { return SyncEngine(local, remote).Run(""); }
    Contents ServerItems() const {
        std::string texts;
        for (const auto& [href, card] : remote.cards) {
            texts += card.text + " ";
        }
        return Written(texts);
    }
    // Edits on the book (here) or the server, written "a=A2 -b": a new
    // content for a, b deleted.  Cards are where a new card of their UID goes.
    void Edit(bool here, const std::string& edits) {
        for (const auto& [word, content] : Written(edits)) {
            const bool remove = word[0] == '-';
            const std::string uid = remove ? word.substr(1) : word;
            const std::string href = "/book/" + uid + ".vcf";
            if (here) {
                remove ? void(local.items.erase(uid)) : void(local.items[uid] = content);
            } else {
                remove ? void(remote.cards.erase(href)) : remote.Put(href, uid + "=" + content);
            }
        }
    }
    // Both sides hold `items`, each card once, and a further sync finds
    // nothing to do or to fetch: the status describes both sides.
    void ExpectSettled(const Contents& items) {
        ASSERT_EQ(local.items, items);
        ASSERT_EQ(ServerItems(), items);
        ASSERT_EQ(remote.cards.size(), items.size()) << "a card doubled";
        remote.fetched = 0;
        const int count = static_cast<int>(items.size());
        EXPECT_EQ(Tie(Sync().counts), Tie(SyncCounts{0, 0, 0, 0, 0, count}));
        EXPECT_EQ(remote.fetched, 0);
    }
};

// Every rule of the plan at once after a first sync: its counts, and both
// sides alike with nothing doubled.  The same with the connection lost after
// each number of requests, before or after the server did the work, and with
// the book lost after the sync (the program killed before it saved): the
// sync after finishes the work, nothing lost, the conflict copy made once.
TEST(SyncEngine, EveryRuleOfThePlanAlsoWhenCutOff) {
    const Contents expected =
        Written("a=A-there c=C2 d=D1 e=E1 f=F1 g=G2 i=I2 j=J1 k=K2 l=L2 n=N1 " +
                SyncEngine::ConflictCopyUid("a", "A-here") + "=A-here" + kCopyMark);
    for (int cut = -1; cut < 16; ++cut) {  // -1: no cut, the book lost
        for (const bool afterDoing : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "cut after " << cut << " requests, "
                                              << (afterDoing ? "done" : "not done"));
            Pair pair("a=A1 b=B1 g=G1 i=I1 k=K1 m=M1", "c=C1 h=H1 j=J1 l=L1 n=N1");
            // a changed on both sides, b deleted here, c changed there, d
            // and f new here, e new there, g changed here, h deleted there,
            // i changed alike on both, j given a new ETag only there, k
            // deleted here but changed there, l changed here but deleted
            // there, m deleted on both, n left alone.
            pair.Edit(kHere, "a=A-here -b d=D1 f=F1 g=G2 i=I2 -k l=L2 -m");
            pair.Edit(kThere, "a=A-there c=C2 e=E1 -h i=I2 j=J1 k=K2 -l -m");
            const MemoryBook saved = pair.local;
            pair.remote.failAfter = cut;
            pair.remote.failAfterDoing = afterDoing;
            const SyncReport report = pair.Sync();
            pair.remote.failAfter = -1;
            if (cut < 0) {
                EXPECT_TRUE(report.complete) << report.failure.message;
                EXPECT_TRUE(report.problems.empty());
                EXPECT_EQ(Tie(report.counts), Tie(SyncCounts{3, 4, 2, 1, 0, 3}));
                pair.local = saved;
            }
            EXPECT_TRUE(pair.Sync().complete);
            pair.ExpectSettled(expected);
        }
    }
}

TEST(SyncEngine, AnEmptiedSideIsNotCopiedOverTheOther) {
    for (const bool here : {kHere, kThere}) {
        SCOPED_TRACE(here ? "book emptied" : "server emptied");
        Pair pair("a=A1 b=B1", "c=C1");
        pair.Edit(here, "-a -b -c");
        const Failure failure = pair.Sync().failure;
        EXPECT_EQ(failure.kind, FailureKind::kMassDeletion);
        EXPECT_TRUE(failure.IsRefusal());
        EXPECT_EQ(here ? pair.ServerItems() : pair.local.items, Written("a=A1 b=B1 c=C1"));
    }
}

// Server cards the engine cannot simply take: unreadable, two of one UID, or
// at the href a new card's UID gives.
TEST(SyncEngine, AwkwardServerCardsAreLeftAloneOrAvoided) {
    Pair unreadable("a=A1 b=B1", "c=C1");
    unreadable.remote.Put("/book/c.vcf", "garbage");
    const SyncReport report = unreadable.Sync();
    EXPECT_TRUE(report.complete);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("/book/c.vcf"), std::string::npos);
    EXPECT_EQ(unreadable.local.items.count("c"), 1u);
    EXPECT_EQ(unreadable.remote.cards.at("/book/c.vcf").text, "garbage");

    Pair twins;
    twins.remote.Put("/book/x1.vcf", "x=X1");
    twins.remote.Put("/book/x2.vcf", "x=X2");
    EXPECT_EQ(twins.Sync().problems.size(), 1u);
    EXPECT_EQ(twins.local.items.size(), 1u);

    Pair taken;
    taken.Edit(kHere, "a=A1");
    taken.remote.Put("/book/a.vcf", "other=O");
    EXPECT_TRUE(taken.Sync().complete);
    EXPECT_EQ(taken.remote.cards.at("/book/a-1.vcf").text, "a=A1");
    EXPECT_EQ(taken.local.items.at("other"), "O");
}

}  // namespace
}  // namespace booksync
