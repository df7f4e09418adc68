// The book's link clause: written before the contacts, read back the same,
// kept by open and save, and the per-entry status beside the other extra
// data.
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

BookLink SampleLink() {
    BookLink link;
    link.url = "https://dav.example.org/jane/contacts/";
    link.user = "jane";
    link.name = "Contacts \"home\"";
    link.syncToken = "http://example.org/ns/sync/42";
    link.known["urn:uuid:1"] = ItemStatus{"/jane/contacts/1.vcf", "\"e1\"", "hash1"};
    link.known["urn:uuid:2"] = ItemStatus{"/jane/contacts/2.vcf", "", "hash2"};
    return link;
}

TEST(BookLink, SurvivesSaveAndOpenBeforeTheContacts) {
    testsupport::TempFolder dir;
    addressbook::VectorAddressList list;
    auto entry = std::make_unique<CAddressEntry>();
    entry->SetField(addressbook::LastName, "Doe");
    list.AppendEntry(std::move(entry));
    const addressbook::CExtraData arguments = WriteBookLink(SampleLink());
    clausedb::CExprDatabase db;
    ASSERT_TRUE(addressbook::SaveBook(list, db, dir.File("book.qxd"), &arguments));

    const std::string text = testsupport::ReadText(dir.File("book.qxd"));
    EXPECT_EQ(text.rfind("carddav('Url' = \"https://dav.example.org/jane/contacts/\",", 0), 0u)
        << text;
    EXPECT_NE(text.find("'Card' = [\"urn:uuid:1\", \"/jane/contacts/1.vcf\", \"\\\"e1\\\"\", "
                        "\"hash1\"]"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Password"), std::string::npos);

    addressbook::StagedEntries staged;
    ASSERT_TRUE(addressbook::ReadBook(db, dir.File("book.qxd"), staged));
    ASSERT_EQ(staged.entries.size(), 1u);
    ASSERT_TRUE(staged.link.has_value());
    EXPECT_EQ(ReadBookLink(*staged.link), SampleLink());
}

TEST(BookLink, OnlyTheFirstLinkAndWhatMakesSenseOfItIsRead) {
    clausedb::CExprDatabase db;
    addressbook::StagedEntries staged;
    ASSERT_TRUE(addressbook::ReadBookText(db,
                                          "carddav('Url' = \"https://a/\").\n"
                                          "other(x).\n"
                                          "contact('LastName' = \"Doe\").\n"
                                          "carddav('Url' = \"https://b/\").\n",
                                          staged));
    EXPECT_EQ(staged.entries.size(), 1u);
    ASSERT_TRUE(staged.link);
    EXPECT_EQ(ReadBookLink(*staged.link)->url, "https://a/");
    // A book without one has none.
    ASSERT_TRUE(addressbook::ReadBookText(db, "contact('LastName' = \"Doe\").\n", staged));
    EXPECT_FALSE(staged.link);

    // Of a hand-edited clause only the whole card statuses are taken.
    ASSERT_TRUE(addressbook::ReadBookText(
        db,
        "carddav('Url' = \"https://a/\", 'Card' = [\"u1\", \"/1.vcf\", \"e\", \"h\"],\n"
        "  'Card' = [\"u2\", \"/2.vcf\"], 'Card' = \"u3\", 'Card' = [\"\", \"/4.vcf\", \"e\", "
        "\"h\"], 'Later' = 5).\n",
        staged));
    const std::optional<BookLink> link = ReadBookLink(*staged.link);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->known.size(), 1u);
    EXPECT_EQ(link->known.at("u1").href, "/1.vcf");
    // No URL, no link.
    ASSERT_TRUE(addressbook::ReadBookText(db, "carddav('User' = \"jane\").\n", staged));
    EXPECT_FALSE(ReadBookLink(*staged.link));
}

TEST(EntryStatus, IsSetReplacedAndRemovedBesideTheOtherExtraData) {
    CAddressEntry entry;
    addressbook::CExtraDataBuilder builder;
    builder.AddStringAttribute("vCard", "BDAY:1980-04-01");
    entry.SetExtra(builder.Build());
    addressbook::SetEntryUid(entry, "urn:uuid:9");
    EXPECT_FALSE(EntryStatus(entry));

    SetEntryStatus(entry, ItemStatus{"/a.vcf", "\"1\"", "h1"});
    EXPECT_EQ(EntryStatus(entry), (ItemStatus{"/a.vcf", "\"1\"", "h1"}));
    SetEntryStatus(entry, ItemStatus{"/a.vcf", "\"2\"", "h2"});
    EXPECT_EQ(EntryStatus(entry), (ItemStatus{"/a.vcf", "\"2\"", "h2"}));
    EXPECT_EQ(entry.Extra().FindText("vCard"), "BDAY:1980-04-01");
    EXPECT_EQ(addressbook::EntryUid(entry), "urn:uuid:9");
    // The editor's Copy leaves the status out with the UID.
    EXPECT_FALSE(EntryStatus(addressbook::CopyWithoutIdentity(entry)));

    SetEntryStatus(entry, std::nullopt);
    EXPECT_FALSE(EntryStatus(entry));
    EXPECT_FALSE(entry.Extra().FindText("SyncEtag"));
    EXPECT_EQ(entry.Extra().FindText("vCard"), "BDAY:1980-04-01");
}

}  // namespace
}  // namespace booksync
