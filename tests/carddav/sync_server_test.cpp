// Syncs against a real CardDAV server (Radicale): what only a server shows,
// as ETags, sync tokens, listings, errors and cut connections.  The rules of
// a sync are tested over sides in memory (tests/booksync).
#include <gtest/gtest.h>

#include <set>

#include "addressbook/entry_identity.h"
#include "booksync/book_link.h"
#include "booksync/book_side.h"
#include "carddav/discovery.h"
#include "carddav/sync_run.h"
#include "carddav_server.h"
#include "support/book_generator.h"
#include "support/book_io.h"

namespace carddav::testing {
namespace {

using addressbook::CAddressEntry;
using booksync::FailureKind;

std::string Uid(int i) {
    return "card-" + std::to_string(i);
}
QString CardName(int i) {
    return QString::fromStdString(Uid(i)) + ".vcf";
}

// A book in memory, synced as the tool and the window do.
struct TestBook {
    std::vector<CAddressEntry> entries;
    std::optional<booksync::BookLink> link;

    // Contacts [from, to) of the book generator, without UIDs.
    void AddGenerated(int from, int to) {
        for (int i = from; i < to; ++i) {
            entries.push_back(testsupport::EntryOf(bench::MakeContact(bench::kDefaultSeed, i)));
        }
    }
    // One sync (with the book's link when `url` is empty), applied to the
    // book as the tool applies it; no two entries may share a UID after it.
    SyncOutcome Sync(const ServerAccount& account, const QUrl& url = QUrl()) {
        SyncRequest request;
        request.url = url.isEmpty() ? QString() : url.toString();
        request.user = account.user;
        request.password = account.password;
        request.entries = entries;
        request.link = link;
        SyncOutcome outcome = RunSync(std::move(request));
        entries = booksync::EntriesAfterSync(std::move(entries), outcome.changes, outcome.added);
        link = outcome.link ? outcome.link : link;
        std::set<std::string> uids;
        for (const CAddressEntry& entry : entries) {
            const std::string uid(addressbook::EntryUid(entry).value_or(""));
            EXPECT_TRUE(uids.insert(uid).second) << "two entries of UID " << uid;
        }
        return outcome;
    }
    CAddressEntry* Find(const std::string& uid) {
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
            return addressbook::EntryUid(entry) == uid;
        });
        return found == entries.end() ? nullptr : &*found;
    }
};

// A first sync of more cards than one multiget fetches and more entries
// than the client sends at once; then edits, deletions, new cards and a
// conflict on each side, listed with sync-collection alone (a listing with
// PROPFIND fails) or with PROPFIND (sync-collection refused); or met by a
// connection cut (from the Nth request on, so that the toolkit's own retry
// meets it too) or a server error, and finished by the next sync.  Nothing
// is lost or doubled, and a card's photo and birthday survive an edit here.
TEST(SyncWithServer, ChangesOnEachSideReachTheOther) {
    QUILLBOX_REQUIRE_SERVER(account);
    const std::string photo = "BDAY;VALUE=date:1980-04-01\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ" +
                              std::string(300, 'A') + "==\r\n";
    for (const char* text : {"body:PROPFIND:getcontenttype:500", "body:REPORT:sync-collection:501",
                             "cut:PUT:3:before", "cut:PUT:3:after", "cut:REPORT:2:midbody",
                             "cut:REPORT:2:after", "cut:DELETE:1:after", "status:PUT:2:500"}) {
        SCOPED_TRACE(text);
        const QString rule = QString::fromLatin1(text);
        const bool refuse = rule.contains(QStringLiteral("sync-collection")),
                   fault = !rule.startsWith(QStringLiteral("body"));
        TestAddressBook server(account, QStringLiteral("Listing"));
        FaultProxy proxy(server.Url(), {rule});
        std::vector<std::pair<QString, std::string>> stored;
        for (int i = 0; i < 105; ++i) {
            const std::string n = std::to_string(i);
            stored.emplace_back(CardName(i), CardText(Uid(i), "Last" + n, "First", "555-1" + n,
                                                      i == 3 ? photo : std::string()));
        }
        server.PutCards(stored);
        TestBook book;
        book.AddGenerated(0, 10);
        const SyncOutcome first = book.Sync(account, proxy.Through(server.Url()));
        ASSERT_EQ(first.summary.toStdString(),
                  "Synchronized with Listing: 105 received, 10 sent, 0 deleted, 0 conflicts.");
        EXPECT_EQ(book.link->syncToken.empty(), refuse);

        // The server rewrote each card it stored: that is no change.
        server.PutCards({{CardName(0), CardText(Uid(0), "Last0", "First", "555-THERE")},
                         {CardName(1), CardText(Uid(1), "Changed", "First", "555-9999")},
                         {"late.vcf", CardText("late", "Late", "Card", "555-0001")},
                         {CardName(2), std::string()}});
        book.Find(Uid(0))->SetField(addressbook::HomePhone, "555-HERE");
        book.Find(Uid(3))->SetField(addressbook::City, "Springfield");
        std::erase_if(book.entries,
                      [](const auto& e) { return addressbook::EntryUid(e) == Uid(4); });
        book.AddGenerated(10, 16);
        proxy.Arm(true);
        SyncOutcome outcome = book.Sync(account);
        const booksync::SyncCounts& counts = outcome.report.counts;
        if (!fault) {
            EXPECT_EQ(std::tie(counts.received, counts.sent, counts.deleted, counts.conflicts),
                      std::make_tuple(2, 7, 2, 1))
                << outcome.summary.toStdString();
        } else {
            EXPECT_EQ(outcome.report.failure.kind, rule.startsWith(QStringLiteral("status"))
                                                       ? FailureKind::kServerError
                                                       : FailureKind::kNetwork)
                << outcome.summary.toStdString();
            proxy.Arm(false);
            outcome = book.Sync(account);
            EXPECT_TRUE(outcome.report.complete) << outcome.summary.toStdString();
        }
        // 105 cards + 16 entries - 2 deleted + 1 late card + 1 conflict copy.
        EXPECT_EQ(book.entries.size(), 121u);
        EXPECT_EQ(book.Find(Uid(1))->GetField(addressbook::LastName), "Changed");
        EXPECT_EQ(book.Find(Uid(2)), nullptr);
        // The server's version in place, this computer's as a copy.
        EXPECT_EQ(book.Find(Uid(0))->GetField(addressbook::HomePhone), "555-THERE");
        std::map<std::string, std::string> cards = server.Cards();
        EXPECT_EQ(cards.size(), 121u);
        int copies = 0;
        for (const auto& card : cards) {
            copies += card.second.find("555-HERE") != std::string::npos;
        }
        EXPECT_EQ(copies, 1);
        EXPECT_EQ(cards.count(Uid(4)), 0u);
        for (const char* kept : {"Springfield", "1980-04-01", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"}) {
            EXPECT_NE(cards[Uid(3)].find(kept), std::string::npos) << cards[Uid(3)];
        }
        const booksync::SyncCounts quiet = book.Sync(account).report.counts;
        EXPECT_EQ(quiet.received + quiet.sent + quiet.deleted + quiet.conflicts, 0);
    }
}

// Address books found from the server's root and from their own address;
// one that is none is refused with the ones found.
TEST(SyncWithServer, DiscoveryOfTheAddressBooks) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Discover me"));
    DavClient client(account.user, account.password, {}, nullptr);
    const Discovery fromRoot = FindAddressBooks(client, account.root);
    EXPECT_TRUE(std::any_of(fromRoot.books.begin(), fromRoot.books.end(), [&](const auto& book) {
        return book.name == QStringLiteral("Discover me") && book.url == server.Url();
    })) << fromRoot.failure.message;
    const Discovery itself = FindAddressBooks(client, server.Url());
    ASSERT_EQ(itself.books.size(), 1u);
    EXPECT_EQ(itself.books[0].name, QStringLiteral("Discover me"));
    DavClient wrong(account.user, QStringLiteral("nope"), {}, nullptr);
    EXPECT_EQ(FindAddressBooks(wrong, account.root).failure.kind, FailureKind::kAuthentication);

    TestBook book;
    const SyncOutcome home = book.Sync(account, account.root.resolved(QUrl(account.user + '/')));
    EXPECT_EQ(home.report.failure.kind, FailureKind::kNotAnAddressBook);
    EXPECT_NE(home.summary.indexOf(QStringLiteral("Discover me (")), -1)
        << home.summary.toStdString();
    EXPECT_FALSE(book.link);
}

}  // namespace
}  // namespace carddav::testing
