// The changes of a sync made to a list the user edited while it ran: the
// user's changes are kept, only identities join them, deletions stay, and
// the whole is one undo step together with the book's link.
#include "syncui/sync_changes.h"

#include <gtest/gtest.h>

#include "addressbook/entry_identity.h"
#include "addresslist/address_list_view.h"
#include "booksync/book_link.h"
#include "document/qx32_doc.h"
#include "entries/entries_controller.h"
#include "entries/entry_list_ui.h"
#include "shell/qx32_app.h"
#include "shell/shell_test_support.h"

namespace syncui {
namespace {

using addressbook::CAddressEntry;

class SyncChangesTest : public shell::testing::AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(shell::testing::WriteGeneratedBook(Path("book.qxd"), 4));
        ASSERT_TRUE(Start({Path("book.qxd")}));
    }
    entries::CEntryUndo& Undo() { return m_app->Entries()->Undo(); }
    entries::IEntryListUi& List() { return Undo().List(); }
    // The row whose last name is `name`, or -1.
    int RowOf(const std::string& name) {
        for (int row = 0; row < List().RowCount(); ++row) {
            if (List().EntryAt(row).GetField(addressbook::LastName) == name) {
                return row;
            }
        }
        return -1;
    }
};

TEST_F(SyncChangesTest, EditsMadeDuringTheSyncAreKept) {
    const SyncSnapshot snapshot = TakeSnapshot(List());
    ASSERT_EQ(snapshot.copies.size(), 4u);
    // While the sync runs, the user edits "Name 1" and deletes "Name 2".
    CAddressEntry edited = List().EntryAt(RowOf("Name 1"));
    edited.SetField(addressbook::City, "Capital City");
    Undo().ReplaceEntry("Edit", RowOf("Name 1"), edited, false);
    Undo().DeleteEntry("Delete", RowOf("Name 2"));

    // What the sync brought: a server version of "Name 0", a UID and a
    // status for "Name 1", a version of "Name 2", the deletion of "Name 3"
    // and a new card.
    const auto renamed = [](CAddressEntry entry, const char* name) {
        entry.SetField(addressbook::LastName, name);
        return entry;
    };
    CAddressEntry identified1 = snapshot.copies[1];
    addressbook::SetEntryUid(identified1, "uid-1");
    booksync::SetEntryStatus(identified1, booksync::ItemStatus{"/b/1.vcf", "\"1\"", "h1"});
    carddav::SyncOutcome outcome;
    outcome.changes = {{0, renamed(snapshot.copies[0], "Server 0")},
                       {1, identified1},
                       {2, renamed(snapshot.copies[2], "Server 2")},
                       {3, std::nullopt}};
    outcome.added.push_back(renamed(CAddressEntry{}, "New"));
    booksync::BookLink link;
    link.url = "https://dav.example.org/b/";
    outcome.link = link;

    document::CQX32Doc& document = *m_app->Document();
    const int stepsBefore = Undo().Stack().count();
    const AppliedSync applied = ApplySyncOutcome(Undo(), snapshot, outcome, document, "Sync");
    EXPECT_EQ(applied.kept, 1);  // "Name 2", deleted meanwhile
    EXPECT_EQ(Undo().Stack().count(), stepsBefore + 1);

    EXPECT_GE(RowOf("Server 0"), 0);
    const CAddressEntry& name1 = List().EntryAt(RowOf("Name 1"));
    EXPECT_EQ(name1.GetField(addressbook::City), "Capital City");
    EXPECT_EQ(addressbook::EntryUid(name1), "uid-1");
    EXPECT_EQ(booksync::EntryStatus(name1)->etag, "\"1\"");
    EXPECT_EQ(RowOf("Name 2"), -1);
    EXPECT_EQ(RowOf("Server 2"), -1);
    EXPECT_EQ(RowOf("Name 3"), -1);
    EXPECT_GE(RowOf("New"), 0);
    ASSERT_TRUE(document.Link());
    EXPECT_EQ(booksync::ReadBookLink(*document.Link())->url, link.url);

    // One undo takes the whole sync back, and leaves the user's edits.
    Undo().Stack().undo();
    EXPECT_GE(RowOf("Name 0"), 0);
    EXPECT_GE(RowOf("Name 3"), 0);
    EXPECT_EQ(RowOf("New"), -1);
    EXPECT_EQ(List().EntryAt(RowOf("Name 1")).GetField(addressbook::City), "Capital City");
    EXPECT_FALSE(addressbook::EntryUid(List().EntryAt(RowOf("Name 1"))));
    EXPECT_FALSE(document.Link());
    Undo().Stack().redo();
    EXPECT_GE(RowOf("New"), 0);
    EXPECT_TRUE(document.Link());
}

TEST_F(SyncChangesTest, ASyncThatChangedNothingAddsNoStep) {
    const SyncSnapshot snapshot = TakeSnapshot(List());
    carddav::SyncOutcome outcome;
    const int steps = Undo().Stack().count();
    EXPECT_EQ(ApplySyncOutcome(Undo(), snapshot, outcome, *m_app->Document(), "Sync").changed, 0);
    EXPECT_EQ(Undo().Stack().count(), steps);
    EXPECT_FALSE(m_app->Document()->IsModified());
}

}  // namespace
}  // namespace syncui
