// The sync engine against in-memory sides: each rule of the plan, failures
// half-way, and random edits on both sides with the properties a sync must
// keep whatever happens.
#include "booksync/sync_engine.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>

#include "memory_sides.h"

namespace booksync::testing {
namespace {

struct Pair {
    MemoryLocal local;
    MemoryRemote remote;
    std::string token;

    SyncReport Sync() {
        SyncEngine engine(local, remote);
        SyncReport report = engine.Run(token);
        token = engine.TokenToKeep();
        return report;
    }
    // uid -> content as the server holds it.
    std::map<std::string, std::string> ServerItems() const {
        std::map<std::string, std::string> items;
        for (const auto& [href, card] : remote.cards) {
            items[UidOf(card.text)] = ContentOf(card.text);
        }
        return items;
    }
    void EditThere(const std::string& uid, const std::string& content) {
        const std::string href = remote.HrefOfUid(uid);
        remote.Put(href.empty() ? remote.HrefForNewCard(uid, 0) : href, ItemText(uid, content));
    }
    void DeleteThere(const std::string& uid) { remote.cards.erase(remote.HrefOfUid(uid)); }
    // Writes or deletes on the book (here) or on the server.
    void Write(bool here, const std::string& uid, const std::string& content) {
        here ? void(local.items[uid] = content) : EditThere(uid, content);
    }
    void Delete(bool here, const std::string& uid) {
        here ? void(local.items.erase(uid)) : DeleteThere(uid);
    }
};

// Both sides holding a, b and c, synced once.
void StartSynced(Pair& pair) {
    pair.local.items = {{"a", "A1"}, {"b", "B1"}};
    pair.remote.Put("/book/c.vcf", ItemText("c", "C1"));
    const SyncReport first = pair.Sync();
    ASSERT_TRUE(first.complete);
    ASSERT_EQ(first.counts.sent, 2);
    ASSERT_EQ(first.counts.received, 1);
    ASSERT_EQ(pair.ServerItems(), pair.local.items);
}

auto Tie(const SyncCounts& c) {
    return std::tie(c.received, c.sent, c.deleted, c.conflicts, c.postponed, c.unchanged);
}

// An edit on the book (here) or the server (there); no content: a deletion.
struct Edit {
    bool here;
    const char* uid;
    const char* content;
};
constexpr bool kHere = true, kThere = false;
void Apply(Pair& pair, const std::vector<Edit>& edits) {
    for (const Edit& e : edits) {
        e.content ? pair.Write(e.here, e.uid, e.content) : pair.Delete(e.here, e.uid);
    }
}

// "a" changed on both sides, and what both sides hold after the sync.
const std::vector<Edit> kEditedOnBothSides = {{kHere, "a", "A-here"}, {kThere, "a", "A-there"}};
std::map<std::string, std::string> ConflictKept() {
    return {{"a", "A-there"},
            {"b", "B1"},
            {"c", "C1"},
            {SyncEngine::ConflictCopyUid("a", "A-here"), "A-here" + kCopyMark}};
}

TEST(SyncEngine, EachRuleOfThePlan) {
    const struct {
        const char* name;
        std::vector<Edit> edits;
        std::map<std::string, std::string> expected;  // on both sides afterwards
        SyncCounts counts;
    } cases[] = {
        {"edit here",
         {{kHere, "a", "A2"}},
         {{"a", "A2"}, {"b", "B1"}, {"c", "C1"}},
         {0, 1, 0, 0, 0, 2}},
        {"edit there",
         {{kThere, "c", "C2"}},
         {{"a", "A1"}, {"b", "B1"}, {"c", "C2"}},
         {1, 0, 0, 0, 0, 2}},
        {"delete here", {{kHere, "a", nullptr}}, {{"b", "B1"}, {"c", "C1"}}, {0, 0, 1, 0, 0, 2}},
        {"delete there", {{kThere, "c", nullptr}}, {{"a", "A1"}, {"b", "B1"}}, {0, 0, 1, 0, 0, 2}},
        {"new on both sides",
         {{kHere, "d", "D1"}, {kThere, "e", "E1"}},
         {{"a", "A1"}, {"b", "B1"}, {"c", "C1"}, {"d", "D1"}, {"e", "E1"}},
         {1, 1, 0, 0, 0, 3}},
        {"the same edit on both sides",
         {{kHere, "b", "B2"}, {kThere, "b", "B2"}},
         {{"a", "A1"}, {"b", "B2"}, {"c", "C1"}},
         {0, 0, 0, 0, 0, 3}},
        {"deleted here, changed there: it comes back",
         {{kHere, "c", nullptr}, {kThere, "c", "C2"}},
         {{"a", "A1"}, {"b", "B1"}, {"c", "C2"}},
         {1, 0, 0, 0, 0, 2}},
        {"changed here, deleted there: it goes up again",
         {{kHere, "a", "A2"}, {kThere, "a", nullptr}},
         {{"a", "A2"}, {"b", "B1"}, {"c", "C1"}},
         {0, 1, 0, 0, 0, 2}},
        {"deleted on both sides",
         {{kHere, "b", nullptr}, {kThere, "b", nullptr}},
         {{"a", "A1"}, {"c", "C1"}},
         {0, 0, 0, 0, 0, 2}},
        {"changed on both sides: both kept",
         kEditedOnBothSides,
         ConflictKept(),
         {0, 0, 0, 1, 0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pair pair;
        StartSynced(pair);
        Apply(pair, c.edits);
        const SyncReport report = pair.Sync();
        EXPECT_TRUE(report.complete) << report.failure.message;
        EXPECT_TRUE(report.problems.empty());
        EXPECT_EQ(pair.local.items, c.expected);
        EXPECT_EQ(pair.ServerItems(), c.expected);
        EXPECT_EQ(Tie(report.counts), Tie(c.counts));
        // The status now describes both sides: a further sync does nothing.
        const SyncReport again = pair.Sync();
        EXPECT_EQ(again.counts.received + again.counts.sent + again.counts.deleted +
                      again.counts.conflicts,
                  0);
    }
}

TEST(SyncEngine, ANewEtagWithoutNewContentIsNoChange) {
    Pair pair;
    StartSynced(pair);
    pair.EditThere("c", "C1");  // same content, new ETag
    pair.remote.hrefsFetched.clear();
    const SyncReport report = pair.Sync();
    EXPECT_EQ(report.counts.received, 0);
    EXPECT_EQ(pair.remote.hrefsFetched.size(), 1u);
    EXPECT_EQ(pair.local.status.at("c").etag, pair.remote.cards.at("/book/c.vcf").etag);
    // Unchanged cards are not fetched again.
    pair.remote.hrefsFetched.clear();
    pair.Sync();
    EXPECT_TRUE(pair.remote.hrefsFetched.empty());
}

TEST(SyncEngine, AnEmptiedSideIsNotCopiedOverTheOther) {
    for (const bool emptyHere : {true, false}) {
        SCOPED_TRACE(emptyHere ? "book emptied" : "server emptied");
        Pair pair;
        StartSynced(pair);
        const auto before = pair.local.items;
        if (emptyHere) {
            pair.local.items.clear();
        } else {
            pair.remote.cards.clear();
        }
        const SyncReport report = pair.Sync();
        EXPECT_FALSE(report.complete);
        EXPECT_EQ(report.failure.kind, FailureKind::kMassDeletion);
        EXPECT_TRUE(report.failure.IsRefusal());
        EXPECT_EQ(emptyHere ? pair.ServerItems() : pair.local.items, before);
    }
}

TEST(SyncEngine, AConnectionLostHalfWayLosesAndDoublesNothing) {
    for (const bool afterDoing : {false, true}) {
        for (int cut = 0; cut < 8; ++cut) {
            SCOPED_TRACE(::testing::Message() << "cut after " << cut << " requests, "
                                              << (afterDoing ? "done" : "not done"));
            Pair pair;
            StartSynced(pair);
            Apply(pair, {{kHere, "a", "A2"},
                         {kHere, "d", "D1"},
                         {kHere, "f", "F1"},
                         {kHere, "b", nullptr},
                         {kThere, "c", "C2"},
                         {kThere, "e", "E1"}});
            pair.remote.failAfter = cut;
            pair.remote.failAfterDoing = afterDoing;
            pair.Sync();
            pair.remote.failAfter = -1;
            const SyncReport second = pair.Sync();
            EXPECT_TRUE(second.complete);
            const std::map<std::string, std::string> expected = {
                {"a", "A2"}, {"c", "C2"}, {"d", "D1"}, {"e", "E1"}, {"f", "F1"}};
            EXPECT_EQ(pair.local.items, expected);
            EXPECT_EQ(pair.ServerItems(), expected);
            EXPECT_EQ(pair.remote.cards.size(), expected.size());
        }
    }
}

TEST(SyncEngine, AConflictMetAgainAfterACutMakesNoSecondCopy) {
    Pair pair;
    StartSynced(pair);
    Apply(pair, kEditedOnBothSides);
    const MemoryLocal saved = pair.local;
    // The copy goes up, then the book is lost (the program was killed
    // before the book was saved).
    pair.Sync();
    pair.local = saved;
    const SyncReport report = pair.Sync();
    EXPECT_TRUE(report.complete);
    EXPECT_EQ(pair.local.items, ConflictKept());
    EXPECT_EQ(pair.ServerItems(), ConflictKept());
}

// Server cards the engine cannot simply take: unreadable, two of one UID, or
// at the href a new card's UID gives.
TEST(SyncEngine, AwkwardServerCardsAreLeftAloneOrAvoided) {
    Pair unreadable;
    StartSynced(unreadable);
    unreadable.remote.Put("/book/c.vcf", "garbage");
    SyncReport report = unreadable.Sync();
    EXPECT_TRUE(report.complete);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find("/book/c.vcf"), std::string::npos);
    EXPECT_EQ(unreadable.local.items.count("c"), 1u);
    EXPECT_EQ(unreadable.remote.cards.at("/book/c.vcf").text, "garbage");

    Pair twins;
    twins.remote.Put("/book/x1.vcf", ItemText("x", "X1"));
    twins.remote.Put("/book/x2.vcf", ItemText("x", "X2"));
    EXPECT_EQ(twins.Sync().problems.size(), 1u);
    EXPECT_EQ(twins.local.items.size(), 1u);

    Pair taken;
    taken.local.items["a"] = "A1";
    taken.remote.cards["/book/a.vcf"] = MemoryRemote::Card{ItemText("other", "O"), "\"x\""};
    EXPECT_TRUE(taken.Sync().complete);
    EXPECT_EQ(taken.remote.cards.at("/book/a-1.vcf").text, ItemText("a", "A1"));
    EXPECT_EQ(taken.local.items.at("other"), "O");
}

// Random edits on both sides between syncs, some syncs cut off: after each
// sync that runs to its end, both sides hold the same items and nothing is
// doubled; and where no sync was cut off since the last complete one, the
// last content written on each side to an item not deleted since is still
// there (itself, or as a conflict copy).
TEST(SyncEngine, RandomEditsOnBothSidesKeepEverything) {
    std::mt19937 random(20240301);
    for (int round = 0; round < 80; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        Pair pair;
        int counter = 0;
        auto fresh = [&] { return "v" + std::to_string(++counter); };
        for (int i = 0; i < 4; ++i) {
            pair.Write(true, "l" + std::to_string(i), fresh());
            pair.Write(false, "r" + std::to_string(i), fresh());
        }
        ASSERT_TRUE(pair.Sync().complete);
        // uid -> side (0 here, 1 there) -> the last content written there.
        std::map<std::string, std::map<int, std::string>> written;
        bool cutSinceComplete = false;
        for (int step = 0; step < 12; ++step) {
            const int edits = static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const int side = static_cast<int>(random() % 2);
                const bool here = side == 0;
                const int what = static_cast<int>(random() % 4);
                const auto items = here ? pair.local.items : pair.ServerItems();
                if (what == 0 || items.size() < 2) {  // add
                    const std::string uid = "n" + std::to_string(++counter);
                    pair.Write(here, uid, written[uid][side] = fresh());
                    continue;
                }
                auto it = items.begin();
                std::advance(it, static_cast<long>(random() % items.size()));
                const std::string uid = it->first;
                if (what == 1) {
                    pair.Delete(here, uid);
                    // A deletion takes back what its own side wrote; what
                    // the other side wrote meanwhile must come back.
                    written[uid].erase(side);
                } else if (what == 2) {
                    pair.Write(here, uid, written[uid][side] = fresh());
                } else if (!here) {  // a new ETag only
                    pair.EditThere(uid, it->second);
                }
            }
            const bool cut = random() % 3 == 0;
            if (cut) {
                pair.remote.failAfter = static_cast<int>(random() % 6);
                pair.remote.failAfterDoing = random() % 2 == 0;
            }
            const SyncReport report = pair.Sync();
            pair.remote.failAfter = -1;
            if (report.failure.kind == FailureKind::kMassDeletion) {
                // Refused, and nothing changed: put one item on the emptied
                // side and go on.
                pair.Write(pair.local.items.empty(), "keep" + std::to_string(++counter), fresh());
                continue;
            }
            if (!report.complete) {
                ASSERT_TRUE(cut) << report.failure.message;
                cutSinceComplete = true;
                continue;
            }
            const auto server = pair.ServerItems();
            ASSERT_EQ(pair.local.items, server);
            ASSERT_EQ(pair.remote.cards.size(), server.size()) << "a card doubled";
            std::set<std::string> contents;
            for (const auto& [uid, content] : server) {
                ASSERT_TRUE(contents.insert(content).second) << content << " doubled";
            }
            if (!cutSinceComplete) {
                for (const auto& [uid, sides] : written) {
                    for (const auto& [side, content] : sides) {
                        ASSERT_TRUE(contents.count(content) || contents.count(content + kCopyMark))
                            << content << " written " << (side == 0 ? "here" : "there") << " to "
                            << uid << " was lost";
                    }
                }
            }
            written.clear();
            cutSinceComplete = false;
        }
    }
}

}  // namespace
}  // namespace booksync::testing
