// Syncs against a real CardDAV server (Radicale, started by the test
// command): first syncs both ways, edits, deletions and a conflict on each
// side, a card's photo and birthday kept through an edit here, connections
// cut in the middle of an upload and of a download, a server error, a wrong
// password, an address that is no address book, and both ways of listing
// the changes.
#include <gtest/gtest.h>

#include <QRegularExpression>

#include "addressbook/entry_identity.h"
#include "booksync/book_link.h"
#include "carddav/discovery.h"
#include "carddav/remote_address_book.h"
#include "carddav_server.h"

namespace carddav::testing {
namespace {

using addressbook::CAddressEntry;
using booksync::FailureKind;

std::string Uid(int i) {
    return "card-" + std::to_string(i);
}

// Stores `count` cards on the server, several at a time.
void FillServer(const ServerAccount& account, TestAddressBook& book, int count) {
    auto client = ClientOf(account);
    std::vector<HttpRequest> puts;
    for (int i = 0; i < count; ++i) {
        const std::string text = CardText(Uid(i), "Last" + std::to_string(i), "First",
                                          "555-" + std::to_string(1000 + i));
        puts.push_back(
            HttpRequest{"PUT",
                        book.Url().resolved(QUrl(QString::fromStdString(Uid(i)) + ".vcf")),
                        QByteArray::fromStdString(text),
                        "text/vcard; charset=utf-8",
                        {}});
    }
    client->SendAll(puts, [](std::size_t, HttpResponse& response) {
        EXPECT_EQ(response.status, 201);
        return true;
    });
}

// A book and an address book synced with three cards: Jane, John, Ann.
struct Synced {
    TestAddressBook server;
    TestBook book;

    explicit Synced(const ServerAccount& account) : server(account, QStringLiteral("Synced")) {
        server.PutCard("jane.vcf", CardText("jane", "Doe", "Jane", "555-0100"));
        server.PutCard("john.vcf", CardText("john", "Roe", "John", "555-0101"));
        CAddressEntry ann;
        ann.SetField(addressbook::LastName, "Lee");
        ann.SetField(addressbook::FirstName, "Ann");
        addressbook::SetEntryUid(ann, "ann");
        book.entries.push_back(ann);
        const SyncOutcome first = book.Sync(account, server.Url());
        EXPECT_TRUE(first.report.complete) << first.summary.toStdString();
        EXPECT_EQ(book.entries.size(), 3u);
    }
};

TEST(SyncWithServer, FirstSyncOf200CardsIntoAnEmptyBook) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Two hundred"));
    FillServer(account, server, 200);
    TestBook book;
    const SyncOutcome outcome = book.Sync(account, server.Url());
    ASSERT_TRUE(outcome.report.complete) << outcome.summary.toStdString();
    EXPECT_EQ(outcome.summary.toStdString(),
              "Synchronized with Two hundred: 200 received, 0 sent, 0 deleted, 0 conflicts.");
    ASSERT_EQ(book.entries.size(), 200u);
    const CAddressEntry* card7 = book.Find(Uid(7));
    ASSERT_NE(card7, nullptr);
    EXPECT_EQ(card7->GetField(addressbook::LastName), "Last7");
    EXPECT_EQ(card7->GetField(addressbook::HomePhone), "555-1007");
    EXPECT_TRUE(booksync::EntryStatus(*card7));
    ASSERT_TRUE(book.link);
    EXPECT_EQ(book.link->known.size(), 200u);
    EXPECT_FALSE(book.link->syncToken.empty());

    const SyncOutcome again = book.Sync(account);
    EXPECT_EQ(again.summary.toStdString(),
              "Synchronized with Two hundred: 0 received, 0 sent, 0 deleted, 0 conflicts.");
    EXPECT_EQ(book.entries.size(), 200u);
}

TEST(SyncWithServer, FirstSyncOf200EntriesIntoAnEmptyServer) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Uploads"));
    TestBook book;
    for (int i = 0; i < 200; ++i) {
        book.entries.push_back(GeneratedEntry(i));
    }
    const SyncOutcome outcome = book.Sync(account, server.Url());
    ASSERT_TRUE(outcome.report.complete) << outcome.summary.toStdString();
    EXPECT_EQ(outcome.report.counts.sent, 200);
    const std::map<std::string, std::string> cards = server.Cards();
    EXPECT_EQ(cards.size(), 200u);
    // Each entry got its UID, the card on the server has it.
    for (const CAddressEntry& entry : book.entries) {
        const auto uid = addressbook::EntryUid(entry);
        ASSERT_TRUE(uid);
        EXPECT_EQ(cards.count(std::string(*uid)), 1u);
    }
    // The server rewrote every card it stored; that is no change.
    const SyncOutcome again = book.Sync(account);
    EXPECT_EQ(again.report.counts.received + again.report.counts.sent, 0)
        << again.summary.toStdString();
}

TEST(SyncWithServer, EditsAndDeletionsOnEachSide) {
    QUILLBOX_REQUIRE_SERVER(account);
    Synced pair(account);
    pair.book.Find("jane")->SetField(addressbook::HomePhone, "555-0199");            // here
    pair.server.PutCard("john.vcf", CardText("john", "Roe", "Johnny", "555-0101"));  // there
    const SyncOutcome edits = pair.book.Sync(account);
    EXPECT_EQ(edits.summary.toStdString(),
              "Synchronized with Synced: 1 received, 1 sent, 0 deleted, 0 conflicts.");
    EXPECT_EQ(pair.book.Find("john")->GetField(addressbook::FirstName), "Johnny");
    EXPECT_NE(pair.server.Cards()["jane"].find("555-0199"), std::string::npos);

    // Delete one here and another there.
    std::erase_if(pair.book.entries,
                  [](const CAddressEntry& e) { return addressbook::EntryUid(e) == "ann"; });
    pair.server.DeleteCard("john.vcf");
    const SyncOutcome deletions = pair.book.Sync(account);
    EXPECT_EQ(deletions.report.counts.deleted, 2) << deletions.summary.toStdString();
    EXPECT_EQ(pair.book.entries.size(), 1u);
    EXPECT_EQ(pair.server.Cards().size(), 1u);
    EXPECT_EQ(pair.book.link->known.size(), 1u);
}

TEST(SyncWithServer, AConflictKeepsBothVersions) {
    QUILLBOX_REQUIRE_SERVER(account);
    Synced pair(account);
    pair.book.Find("jane")->SetField(addressbook::HomePhone, "555-HERE");
    pair.server.PutCard("jane.vcf", CardText("jane", "Doe", "Jane", "555-THERE"));
    const SyncOutcome outcome = pair.book.Sync(account);
    EXPECT_EQ(outcome.report.counts.conflicts, 1);
    EXPECT_NE(outcome.summary.indexOf(QStringLiteral("1 conflict.")), -1);
    EXPECT_NE(outcome.summary.indexOf(QStringLiteral("Jane Doe")), -1);
    // The server's version in place, this computer's as a marked copy.
    EXPECT_EQ(pair.book.Find("jane")->GetField(addressbook::HomePhone), "555-THERE");
    ASSERT_EQ(pair.book.entries.size(), 4u);
    const CAddressEntry& copy = pair.book.entries.back();
    EXPECT_EQ(copy.GetField(addressbook::HomePhone), "555-HERE");
    EXPECT_EQ(copy.GetField(addressbook::Notes), "Conflict copy from this computer, 2024-03-01");
    EXPECT_EQ(pair.server.Cards().size(), 4u);
    EXPECT_EQ(pair.book.Sync(account).report.counts.conflicts, 0);
}

TEST(SyncWithServer, APhotoAndABirthdaySurviveAnEditHere) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Photos"));
    const std::string photo = "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAP" +
                              std::string(300, 'A') + "==\r\n";
    server.PutCard("eve.vcf", CardText("eve", "Smith", "Eve", "555-0102",
                                       "BDAY;VALUE=date:1980-04-01\r\n" + photo));
    TestBook book;
    ASSERT_TRUE(book.Sync(account, server.Url()).report.complete);
    ASSERT_EQ(book.entries.size(), 1u);
    book.entries[0].SetField(addressbook::HomePhone, "555-0199");
    const SyncOutcome outcome = book.Sync(account);
    EXPECT_EQ(outcome.report.counts.sent, 1);
    const std::string card = server.Cards()["eve"];
    EXPECT_NE(card.find("555-0199"), std::string::npos) << card;
    EXPECT_NE(card.find("1980-04-01"), std::string::npos) << card;
    EXPECT_NE(card.find("PHOTO"), std::string::npos) << card;
    EXPECT_NE(card.find(std::string(60, 'A')), std::string::npos) << card;
}

// The connection cut at each point of an upload and of a download: the
// second sync finishes the work, with nothing lost and nothing doubled.
TEST(SyncWithServer, ACutConnectionLosesAndDoublesNothing) {
    QUILLBOX_REQUIRE_SERVER(account);
    // The network goes down at the third upload (before the server sees
    // it, after it stored the card), in the middle of the answer to the
    // first fetch, before it, after the first deletion; the server fails the
    // second upload.  ("+": that request and every later one, so that the
    // toolkit's own retry on a closed connection meets the fault too.)
    const QStringList faults = {
        QStringLiteral("cut:PUT:3+:before"),     QStringLiteral("cut:PUT:3+:after"),
        QStringLiteral("cut:REPORT:2+:midbody"), QStringLiteral("cut:REPORT:2+:after"),
        QStringLiteral("cut:DELETE:1+:after"),   QStringLiteral("status:PUT:2:500"),
    };
    for (const QString& fault : faults) {
        SCOPED_TRACE(fault.toStdString());
        TestAddressBook server(account, QStringLiteral("Cut"));
        FaultProxy proxy(server.Url(), {fault}, false);
        FillServer(account, server, 12);
        TestBook book;
        for (int i = 0; i < 6; ++i) {
            book.entries.push_back(GeneratedEntry(i));
        }
        // The first sync runs into the fault: a deletion, uploads, downloads.
        ASSERT_TRUE(book.Sync(account, proxy.Through(server.Url())).report.complete);
        std::erase_if(book.entries,
                      [](const CAddressEntry& e) { return addressbook::EntryUid(e) == Uid(0); });
        for (int i = 6; i < 12; ++i) {
            book.entries.push_back(GeneratedEntry(i));
        }
        server.PutCard("late.vcf", CardText("late", "Late", "Card", "555-0001"));
        proxy.Arm();
        const SyncOutcome cut = book.Sync(account);
        EXPECT_FALSE(cut.report.complete) << cut.summary.toStdString();
        if (fault.startsWith(QStringLiteral("status"))) {
            EXPECT_EQ(cut.report.failure.kind, FailureKind::kServerError);
            EXPECT_NE(cut.summary.indexOf(QStringLiteral("HTTP 500")), -1);
        } else {
            EXPECT_EQ(cut.report.failure.kind, FailureKind::kNetwork) << cut.summary.toStdString();
        }
        // The network is back.
        proxy.Disarm();
        const SyncOutcome again = book.Sync(account);
        EXPECT_TRUE(again.report.complete) << again.summary.toStdString();
        // 12 cards + 6 + 6 entries - 1 deleted + 1 late card.
        const std::map<std::string, std::string> cards = server.Cards();
        EXPECT_EQ(cards.size(), 24u);
        EXPECT_EQ(server.CardCount(), 24);
        EXPECT_EQ(book.entries.size(), 24u);
        EXPECT_EQ(cards.count(Uid(0)), 0u);
        EXPECT_EQ(book.ByUid().size(), 24u);
        const SyncOutcome quiet = book.Sync(account);
        EXPECT_EQ(quiet.report.counts.received + quiet.report.counts.sent +
                      quiet.report.counts.deleted + quiet.report.counts.conflicts,
                  0)
            << quiet.summary.toStdString();
    }
}

TEST(SyncWithServer, AWrongPasswordChangesNothing) {
    QUILLBOX_REQUIRE_SERVER(account);
    Synced pair(account);
    const std::optional<booksync::BookLink> before = pair.book.link;
    const SyncOutcome outcome = pair.book.Sync(account, QUrl(), QStringLiteral("wrong password"));
    EXPECT_EQ(outcome.report.failure.kind, FailureKind::kAuthentication);
    EXPECT_EQ(outcome.summary.toStdString(),
              "The synchronization with Synced stopped: The server did not accept the user name "
              "or password (HTTP 401).");
    EXPECT_TRUE(outcome.report.failure.IsRefusal());
    EXPECT_EQ(pair.book.link, before);
    EXPECT_EQ(outcome.summary.indexOf(QStringLiteral("wrong password")), -1);
}

TEST(SyncWithServer, AnAddressThatIsNoAddressBookIsRefusedWithTheOnesFound) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Found me"));
    TestBook book;
    const QUrl home = account.root.resolved(QUrl(account.user + QLatin1Char('/')));
    const SyncOutcome outcome = book.Sync(account, home);
    EXPECT_EQ(outcome.report.failure.kind, FailureKind::kNotAnAddressBook);
    EXPECT_NE(outcome.summary.indexOf(QStringLiteral("is not an address book")), -1);
    EXPECT_NE(outcome.summary.indexOf(QStringLiteral("Found me (")), -1)
        << outcome.summary.toStdString();
    EXPECT_FALSE(book.link);
}

TEST(SyncWithServer, DiscoveryFindsTheAddressBooksFromTheServerRoot) {
    QUILLBOX_REQUIRE_SERVER(account);
    TestAddressBook server(account, QStringLiteral("Discover me"));
    auto client = ClientOf(account);
    const Discovery fromRoot = FindAddressBooks(*client, account.root);
    ASSERT_FALSE(fromRoot.failure) << fromRoot.failure.message;
    bool found = false;
    for (const FoundAddressBook& book : fromRoot.books) {
        found |= book.name == QStringLiteral("Discover me") && book.url == server.Url();
    }
    EXPECT_TRUE(found);
    const Discovery itself = FindAddressBooks(*client, server.Url());
    ASSERT_EQ(itself.books.size(), 1u);
    EXPECT_EQ(itself.books[0].name, QStringLiteral("Discover me"));
    DavClient wrong(account.user, QStringLiteral("nope"), {}, nullptr);
    EXPECT_EQ(FindAddressBooks(wrong, account.root).failure.kind, FailureKind::kAuthentication);
}

// With sync-collection, a second sync asks only for the changes since the
// token; a server that refuses the report is listed with PROPFIND instead,
// and syncs the same.
TEST(SyncWithServer, SyncCollectionAndThePropfindFallback) {
    QUILLBOX_REQUIRE_SERVER(account);
    for (const bool refuse : {false, true}) {
        SCOPED_TRACE(refuse ? "without sync-collection" : "with sync-collection");
        TestAddressBook server(account, QStringLiteral("Listing"));
        FaultProxy proxy(server.Url(),
                         refuse ? QStringList{QStringLiteral("body:REPORT:sync-collection:501")}
                                : QStringList());
        FillServer(account, server, 5);
        TestBook book;
        ASSERT_TRUE(book.Sync(account, proxy.Through(server.Url())).report.complete);
        EXPECT_EQ(book.entries.size(), 5u);
        EXPECT_EQ(book.link->syncToken.empty(), refuse);
        proxy.TakeLog();

        server.PutCard(QString::fromStdString(Uid(1)) + ".vcf",
                       CardText(Uid(1), "Changed", "First", "555-9999"));
        server.DeleteCard(QString::fromStdString(Uid(2)) + ".vcf");
        book.Find(Uid(3))->SetField(addressbook::City, "Springfield");
        const SyncOutcome outcome = book.Sync(account);
        EXPECT_EQ(outcome.summary.toStdString(),
                  "Synchronized with Listing: 1 received, 1 sent, 1 deleted, 0 conflicts.");
        EXPECT_EQ(book.Find(Uid(1))->GetField(addressbook::LastName), "Changed");
        EXPECT_EQ(book.Find(Uid(2)), nullptr);
        const QStringList log = proxy.TakeLog();
        // The first request of the sync opens the address book (depth 0);
        // only the fallback lists its members with PROPFIND.
        EXPECT_EQ(log.filter(QRegularExpression(QStringLiteral("^PROPFIND .* 207$"))).size(),
                  refuse ? 2 : 1)
            << log.join('\n').toStdString();
        EXPECT_EQ(log.filter(QStringLiteral("501-injected")).isEmpty(), !refuse);
    }
}

TEST(SyncWithServer, AnEmptiedAddressBookIsNotCopiedOverTheBook) {
    QUILLBOX_REQUIRE_SERVER(account);
    Synced pair(account);
    pair.server.DeleteCard("jane.vcf");
    pair.server.DeleteCard("john.vcf");
    pair.server.DeleteCard(QString(pair.server.HrefOf("ann")).section('/', -1));
    const SyncOutcome outcome = pair.book.Sync(account);
    EXPECT_EQ(outcome.report.failure.kind, FailureKind::kMassDeletion);
    EXPECT_EQ(pair.book.entries.size(), 3u);
}

}  // namespace
}  // namespace carddav::testing
