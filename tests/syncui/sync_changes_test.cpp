// The changes of a sync made to a list the user edited while it ran: the
// user's changes are kept, only identities join them, deletions stay, and
// the whole is one undo step together with the book's link.
#include "syncui/sync_changes.h"

#include <gtest/gtest.h>

#include "addressbook/entry_identity.h"
#include "booksync/book_link.h"
#include "document/qx32_doc.h"
#include "entries/entries_controller.h"
#include "entries/entry_list_ui.h"
#include "shell/qx32_app.h"
#include "shell/shell_test_support.h"

namespace syncui {
namespace {

using addressbook::CAddressEntry;

CAddressEntry Renamed(CAddressEntry entry, const char* name) {
    entry.SetField(addressbook::LastName, name);
    return entry;
}

using SyncChangesTest = shell::testing::AppFixture;

TEST_F(SyncChangesTest, EditsMadeDuringTheSyncAreKept) {
    ASSERT_TRUE(shell::testing::WriteGeneratedBook(Path("book.qxd"), 4));
    ASSERT_TRUE(Start({Path("book.qxd")}));
    entries::CEntryUndo& undo = m_app->Entries()->Undo();
    entries::IEntryListUi& list = undo.List();
    const auto rowOf = [&](const std::string& lastName) {  // -1: none
        for (int row = 0; row < list.RowCount(); ++row) {
            if (list.EntryAt(row).GetField(addressbook::LastName) == lastName) {
                return row;
            }
        }
        return -1;
    };
    const SyncSnapshot snapshot = TakeSnapshot(list);
    // While the sync runs, the user edits "Name 1" and deletes "Name 2".
    CAddressEntry edited = list.EntryAt(rowOf("Name 1"));
    edited.SetField(addressbook::City, "Capital City");
    undo.ReplaceEntry("Edit", rowOf("Name 1"), edited, false);
    undo.DeleteEntry("Delete", rowOf("Name 2"));

    // What the sync brought: a server version of "Name 0", a UID and a
    // status for "Name 1", a version of "Name 2", the deletion of "Name 3"
    // and a new card.
    CAddressEntry identified1 = snapshot.copies.at(1);
    addressbook::SetEntryUid(identified1, "uid-1");
    booksync::SetEntryStatus(identified1, booksync::ItemStatus{"/b/1.vcf", "\"1\"", "h1"});
    carddav::SyncOutcome outcome;
    outcome.changes = {{0, Renamed(snapshot.copies.at(0), "Server 0")},
                       {1, identified1},
                       {2, Renamed(snapshot.copies.at(2), "Server 2")},
                       {3, std::nullopt}};
    outcome.added.push_back(Renamed(CAddressEntry{}, "New"));
    outcome.link = booksync::BookLink{"https://dav.example.org/b/", "", "", "", {}};
    document::CQX32Doc& document = *m_app->Document();
    EXPECT_EQ(ApplySyncOutcome(undo, snapshot, outcome, document, "Sync").kept, 1);

    for (const char* name : {"Server 0", "Name 1", "New"}) {
        EXPECT_GE(rowOf(name), 0) << name;
    }
    for (const char* name : {"Name 2", "Server 2", "Name 3"}) {
        EXPECT_EQ(rowOf(name), -1) << name;
    }
    const CAddressEntry& name1 = list.EntryAt(rowOf("Name 1"));
    EXPECT_EQ(name1.GetField(addressbook::City), "Capital City");
    EXPECT_EQ(addressbook::EntryUid(name1), "uid-1");
    EXPECT_EQ(booksync::EntryStatus(name1)->etag, "\"1\"");
    EXPECT_EQ(document.Link(), booksync::WriteBookLink(*outcome.link));

    // One undo takes the whole sync back, link included, and leaves the
    // user's edits; redo makes it again.
    undo.Stack().undo();
    EXPECT_GE(rowOf("Name 0"), 0);
    EXPECT_GE(rowOf("Name 3"), 0);
    EXPECT_EQ(rowOf("New"), -1);
    EXPECT_EQ(list.EntryAt(rowOf("Name 1")).GetField(addressbook::City), "Capital City");
    EXPECT_FALSE(addressbook::EntryUid(list.EntryAt(rowOf("Name 1"))));
    EXPECT_FALSE(document.Link());
    undo.Stack().redo();
    EXPECT_GE(rowOf("New"), 0);
    EXPECT_TRUE(document.Link());
}

}  // namespace
}  // namespace syncui
