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
    const std::optional<ParsedCard> phone = side.Parse(kPhoneCard, "/b/abc-2.vcf", problem);
    const std::optional<ParsedCard> stored = side.Parse(kStoredCard, "/b/abc-2.vcf", problem);
    ASSERT_TRUE(phone && stored);
    EXPECT_EQ(phone->uid, "abc-2");
    EXPECT_EQ(phone->hash, stored->hash);
    EXPECT_EQ(CardHash(kPhoneCard), CardHash(kStoredCard));
    std::string changed = kStoredCard;
    changed.replace(changed.find("1980"), 4, "1981");
    EXPECT_NE(CardHash(kPhoneCard), CardHash(changed));
    // What the book uploads after storing the card reads back the same.
    side.Store(*stored);
    const std::string text = side.CardText("abc-2");
    EXPECT_NE(text.find("BDAY"), std::string::npos);
    EXPECT_NE(text.find("X-ABLABEL:Office"), std::string::npos);  // as the server wrote it
    EXPECT_EQ(side.Parse(text, "/b/abc-2.vcf", problem)->hash, stored->hash);
    EXPECT_EQ(side.Items().at(0).hash, stored->hash);

    // A card without UID is known by its href; what is no card is refused.
    const char card[] = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Nobody\r\nEND:VCARD\r\n";
    const auto first = side.Parse(card, "/b/x.vcf", problem);
    const auto again = side.Parse(card, "/b/x.vcf", problem);
    const auto elsewhere = side.Parse(card, "/b/y.vcf", problem);
    ASSERT_TRUE(first && again && elsewhere);
    EXPECT_EQ(first->uid, again->uid);
    EXPECT_NE(first->uid, elsewhere->uid);
    EXPECT_FALSE(side.Parse("no card here", "/b/z.vcf", problem));
    EXPECT_FALSE(problem.empty());
}

TEST(BookSide, EveryEntryTakesPartUnderAUidOfItsOwn) {
    const CAddressEntry withUid = SyncedJane();
    CAddressEntry twin = withUid;  // a book imported twice
    twin.SetField(addressbook::City, "Springfield");
    CAddressEntry without = Named("John", "Roe");
    BookSide side({withUid, twin, without}, {}, {});

    const std::vector<ILocalSide::Item> items = side.Items();
    ASSERT_EQ(items.size(), 3u);
    const std::set<std::string> uids = {items[0].uid, items[1].uid, items[2].uid};
    EXPECT_EQ(uids.size(), 3u);
    EXPECT_EQ(uids.count("u1"), 1u);
    EXPECT_EQ(side.LastStatus().size(), 1u);

    // The first keeps its UID and status and is unchanged; the twin and the
    // entry without a UID are handed back with their new UIDs.
    const std::vector<BookSide::Change> changes = side.TakeChanges();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].index, 1u);
    EXPECT_NE(addressbook::EntryUid(*changes[0].after), "u1");
    EXPECT_FALSE(EntryStatus(*changes[0].after));
    EXPECT_EQ(changes[1].index, 2u);
    EXPECT_EQ(addressbook::EntryUid(*changes[1].after),
              addressbook::DerivedUid(Named("John", "Roe"), 0));
}

TEST(BookSide, StatusOfAnotherAddressBookIsDropped) {
    BookSide side({SyncedJane()}, {}, BookSide::Options{false, ""});
    EXPECT_TRUE(side.LastStatus().empty());
    const auto changes = side.TakeChanges();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_FALSE(EntryStatus(*changes[0].after));
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
    EXPECT_EQ(side.Describe("u1"), "Jane Doe");
}

}  // namespace
}  // namespace booksync
