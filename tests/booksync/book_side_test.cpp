// The book as the local side of a sync: identities, hashes that survive a
// server's rewriting, conflict copies, and the changes it hands back.
#include "booksync/book_side.h"

#include <gtest/gtest.h>

#include "addressbook/entry_identity.h"
#include "booksync/book_link.h"
#include "booksync/card_hash.h"

namespace booksync {
namespace {

using addressbook::CAddressEntry;

CAddressEntry Named(const std::string& first, const std::string& last) {
    CAddressEntry entry;
    entry.SetField(addressbook::FirstName, first);
    entry.SetField(addressbook::LastName, last);
    return entry;
}

// Jane Doe as synced before under the UID "u1".
CAddressEntry SyncedJane() {
    CAddressEntry entry = Named("Jane", "Doe");
    addressbook::SetEntryUid(entry, "u1");
    SetEntryStatus(entry, ItemStatus{"/u1.vcf", "\"1\"", "h"});
    return entry;
}

// A card as a phone writes it, and as a CardDAV server stored it again:
// properties reordered, parameters respelled, lines ended and folded
// otherwise.
const char kPhoneCard[] =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Phone//EN\r\nUID:abc-2\r\nFN:J\xc3\xb6hn Doe\r\n"
    "N:Doe;J\xc3\xb6hn;;;\r\nBDAY;VALUE=date:1980-04-01\r\n"
    "item1.EMAIL;type=INTERNET;type=pref:a@b.c\r\nitem1.X-ABLabel:Office\r\n"
    "NOTE:line1\\nline2\\, with comma\r\nEND:VCARD\r\n";
const char kStoredCard[] =
    "BEGIN:VCARD\nVERSION:3.0\nUID:abc-2\nBDAY;VALUE=date:1980-04-01\n"
    "item1.EMAIL;TYPE=INTERNET,pref:a@b.c\nFN:J\xc3\xb6hn Doe\nN:Doe;J\xc3\xb6hn;;;\n"
    "NOTE:line1\\nline2\\, with c\n omma\nitem1.X-ABLABEL:Office\nEND:VCARD\n";

TEST(BookSide, ReadsCardsUnderAStableUidAndHash) {
    BookSide side({}, {}, {});
    std::string problem;
    const auto parse = [&](std::string_view text, const char* href = "/b/abc-2.vcf") {
        return side.Parse(text, href, problem).value_or(ParsedCard{"unread", "unread", {}});
    };
    EXPECT_EQ(parse(kPhoneCard).hash, parse(kStoredCard).hash);
    std::string changed = kStoredCard;
    changed.replace(changed.find("1980"), 4, "1981");
    EXPECT_NE(parse(changed).hash, parse(kStoredCard).hash);
    // What the book uploads after storing the card keeps what it cannot
    // show, and reads back the same.
    const ParsedCard stored = parse(kStoredCard);
    side.Store(stored);
    const std::string text = side.CardText("abc-2");
    EXPECT_NE(text.find("X-ABLABEL:Office"), std::string::npos) << text;
    EXPECT_EQ(parse(text).hash, stored.hash);
    EXPECT_EQ(side.Items().at(0).hash, stored.hash);

    // A card without UID is known by its href; what is no card is refused.
    const char noUid[] = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:N\r\nEND:VCARD\r\n";
    EXPECT_EQ(parse(noUid, "/b/x.vcf").uid, parse(noUid, "/b/x.vcf").uid);
    EXPECT_NE(parse(noUid, "/b/x.vcf").uid, parse(noUid, "/b/y.vcf").uid);
    EXPECT_EQ(parse("no card here").uid, "unread");
    EXPECT_FALSE(problem.empty());
}

// The first entry keeps its UID and status; a twin of it (a book imported
// twice) and an entry without a UID are handed back with new UIDs and no
// status; the status of another address book is dropped.
TEST(BookSide, EveryEntryTakesPartUnderAUidOfItsOwn) {
    CAddressEntry twin = SyncedJane();
    twin.SetField(addressbook::City, "Springfield");
    BookSide side({SyncedJane(), twin, Named("John", "Roe")}, {}, {});
    const std::vector<ILocalSide::Item> items = side.Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ((std::set<std::string>{items[0].uid, items[1].uid, items[2].uid}).size(), 3u);
    EXPECT_EQ(side.LastStatus().size(), 1u);
    const std::vector<BookSide::Change> changes = side.TakeChanges();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].index, 1u);
    EXPECT_FALSE(EntryStatus(*changes[0].after));
    EXPECT_EQ(addressbook::EntryUid(*changes[1].after),
              addressbook::DerivedUid(Named("John", "Roe"), 0));

    BookSide relinked({SyncedJane()}, {}, BookSide::Options{false, ""});
    EXPECT_TRUE(relinked.LastStatus().empty());
    ASSERT_EQ(relinked.TakeChanges().size(), 1u);
}

TEST(BookSide, AConflictCopyIsMarkedInItsNotesUnderANewUid) {
    CAddressEntry entry = SyncedJane();
    entry.SetField(addressbook::Notes, "Met at Expo");
    BookSide side({entry}, {}, BookSide::Options{true, "2024-03-01"});
    const std::string hash = side.AddConflictCopy("u1", "u1-copy");
    const std::vector<CAddressEntry> added = side.TakeAdded();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].GetField(addressbook::Notes),
              "Met at Expo<p>Conflict copy from this computer, 2024-03-01");
    EXPECT_EQ(addressbook::EntryUid(added[0]), "u1-copy");
    EXPECT_FALSE(EntryStatus(added[0]));
    EXPECT_EQ(hash, EntryHash(added[0], "u1-copy"));
}

}  // namespace
}  // namespace booksync
