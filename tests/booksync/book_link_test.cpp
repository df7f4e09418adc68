// The book's link clause, kept by save and open and read with care, and the
// per-entry status beside the other extra data.
#include "booksync/book_link.h"

#include <gtest/gtest.h>

#include "addressbook/book_file.h"
#include "addressbook/entry_identity.h"
#include "addressbook/vector_address_list.h"
#include "clausedb/expr_database.h"
#include "support/temp_folder.h"

namespace booksync {
namespace {

using addressbook::CAddressEntry;

TEST(BookLink, SurvivesSaveAndOpen) {
    BookLink link{"https://dav.example.org/jane/contacts/",
                  "jane",
                  "Contacts \"home\"",
                  "http://example.org/ns/sync/42",
                  {}};
    link.known["urn:uuid:1"] = ItemStatus{"/jane/contacts/1.vcf", "\"e1\"", "hash1"};
    link.known["urn:uuid:2"] = ItemStatus{"/jane/contacts/2.vcf", "", "hash2"};
    const addressbook::CExtraData arguments = WriteBookLink(link);
    testsupport::TempFolder dir;
    clausedb::CExprDatabase db;
    ASSERT_TRUE(addressbook::SaveBook(addressbook::VectorAddressList(), db, dir.File("book.qxd"),
                                      &arguments));
    addressbook::StagedEntries staged;
    ASSERT_TRUE(addressbook::ReadBook(db, dir.File("book.qxd"), staged));
    ASSERT_TRUE(staged.link);
    EXPECT_EQ(ReadBookLink(*staged.link), link);
}

// Only the first link of a book is read, and of that only what makes sense.
TEST(BookLink, OnlyTheFirstLinkAndWhatMakesSenseOfItIsRead) {
    clausedb::CExprDatabase db;
    addressbook::StagedEntries staged;
    const auto linkOf = [&](std::string_view text) {
        EXPECT_TRUE(addressbook::ReadBookText(db, text, staged));
        return staged.link ? ReadBookLink(*staged.link) : std::nullopt;
    };
    EXPECT_EQ(linkOf("carddav('Url' = \"https://a/\").\nother(x).\n"
                     "contact('LastName' = \"Doe\").\ncarddav('Url' = \"https://b/\").\n")
                  ->url,
              "https://a/");
    EXPECT_EQ(staged.entries.size(), 1u);
    EXPECT_FALSE(linkOf("contact('LastName' = \"Doe\").\n"));
    EXPECT_FALSE(linkOf("carddav('User' = \"jane\").\n"));
    // Of a hand-edited clause only the whole card statuses are taken.
    const std::optional<BookLink> edited = linkOf(
        "carddav('Url' = \"https://a/\", 'Card' = [\"u1\", \"/1.vcf\", \"e\", \"h\"],\n"
        "  'Card' = [\"u2\", \"/2.vcf\"], 'Card' = \"u3\", 'Card' = [\"\", \"/4.vcf\", \"e\", "
        "\"h\"], 'Later' = 5).\n");
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->known, (SyncStatus{{"u1", ItemStatus{"/1.vcf", "e", "h"}}}));
}

TEST(EntryStatus, IsSetReplacedAndRemovedBesideTheOtherExtraData) {
    CAddressEntry entry;
    addressbook::CExtraDataBuilder builder;
    builder.AddStringAttribute("vCard", "BDAY:1980-04-01");
    entry.SetExtra(builder.Build());
    addressbook::SetEntryUid(entry, "urn:uuid:9");
    EXPECT_FALSE(EntryStatus(entry));
    for (const char* etag : {"\"1\"", "\"2\""}) {
        SetEntryStatus(entry, ItemStatus{"/a.vcf", etag, "h"});
        EXPECT_EQ(EntryStatus(entry), (ItemStatus{"/a.vcf", etag, "h"}));
    }
    EXPECT_EQ(addressbook::EntryUid(entry), "urn:uuid:9");
    // The editor's Copy leaves the status out with the UID.
    EXPECT_FALSE(EntryStatus(addressbook::CopyWithoutIdentity(entry)));
    SetEntryStatus(entry, std::nullopt);
    EXPECT_FALSE(EntryStatus(entry));
    EXPECT_EQ(entry.Extra().FindText("vCard"), "BDAY:1980-04-01");
}

}  // namespace
}  // namespace booksync
