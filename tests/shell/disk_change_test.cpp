// A book that another program changes while the window has it open: a quiet
// reload, the question before a save over it, no reaction to own saves.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <vector>

#include "addresslist/address_list_view.h"
#include "document/qx32_doc.h"
#include "platform/doc_manager.h"
#include "resources/command_ids.h"
#include "settings/settings_keys.h"
#include "shell_test_support.h"

namespace shell::testing {
namespace {

using platform::MessageAnswer;

// How many entries the file at `path` holds.
qsizetype EntriesInFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count("contact(") : -1;
}

class DiskChangeTest : public AppFixture {
protected:
    // The book of five entries open in the window, unsorted, as a sort that
    // is not remembered leaves it: the reload must keep the sort clicked.
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_TRUE(WriteGeneratedBook(m_strBook, 5));
        settings::Write(Settings(), settings::kRememberSort, 0);
        ASSERT_TRUE(Start({m_strBook}));
        Watcher().SetSettleDelay(20);
    }
    platform::FileChangeWatcher& Watcher() { return m_app->DocManager()->Watcher(); }
    addresslist::CQX32View& View() { return *m_app->View(); }
    document::CQX32Doc& Doc() { return *m_app->Document(); }
    int Rows() { return View().Model().RowCount(); }
    // A change made in the window and not saved yet: the first row deleted.
    void ChangeInTheWindow() {
        ASSERT_TRUE(View().Model().RemoveRow(0));
        Doc().SetModifiedFlag(true);
    }
    // Waits until the watcher has reported a change (and the window acted on it).
    void WaitForTheWatcher() {
        QSignalSpy seen(&Watcher(), &platform::FileChangeWatcher::changedOnDisk);
        ASSERT_TRUE(seen.wait(5000));
    }
    // Saves through the menu, with `answer` ready for the question if one comes.
    void Save(MessageAnswer answer) {
        m_dialogs.QueueAnswer(answer);
        Run(resources::kCmdFileSave);
        QTest::qWait(100);  // time for the watcher to look at the file
    }
    bool WaitForRows(int rows) {
        return QTest::qWaitFor([&] { return Rows() == rows; }, 5000);
    }

    const QString m_strBook = Path("people.qxd");
};

// Changes renamed over the book or written in place are read quietly,
// keeping the sort, the selection and the focus; a gone selected entry
// passes the selection to its neighbour; a half-written file is left alone.
TEST_F(DiskChangeTest, ReloadWithoutUnsavedChangesKeepsSelectionAndSort) {
    View().OnColumnClick(0);       // by Last Name, the other way: descending
    View().SelectRows({1, 3}, 3);  // Name 3, focus on Name 1

    ASSERT_TRUE(WriteGeneratedBook(m_strBook, 4));
    ASSERT_TRUE(WaitForRows(4));
    EXPECT_EQ(View().SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(View().FocusedRow(), 2);

    View().SelectRow(1);  // Name 2, gone from the next book
    ASSERT_TRUE(WriteGeneratedBook(m_strBook, 2));
    ASSERT_TRUE(WaitForRows(2));
    EXPECT_EQ(View().SelectedRows(), (std::vector<int>{1}));

    // Written in place and caught half-written: left alone until complete.
    ASSERT_TRUE(WriteText(m_strBook, "contact(a).\ncontact("));
    WaitForTheWatcher();
    EXPECT_EQ(Rows(), 2);
    ASSERT_TRUE(WriteText(m_strBook, "contact(a).\ncontact(b).\ncontact(c).\n"));
    ASSERT_TRUE(WaitForRows(3));
    EXPECT_TRUE(m_dialogs.Messages().empty());
}

// A change seen while the window has its own is not read over them: the
// save asks and each answer does what it says.  Own saves and a deleted book
// ask nothing; a seen change is read once the window's changes are undone.
TEST_F(DiskChangeTest, UnsavedChangesAskBeforeSaving) {
    QSignalSpy reloads(&Doc(), &platform::CDocument::reloaded);
    ChangeInTheWindow();  // 4 rows
    ASSERT_TRUE(WriteGeneratedBook(m_strBook, 7));
    WaitForTheWatcher();
    Save(MessageAnswer::kCancel);
    EXPECT_EQ(EntriesInFile(m_strBook), 7);
    EXPECT_TRUE(Doc().IsModified());
    Save(MessageAnswer::kSaveAnyway);
    EXPECT_EQ(EntriesInFile(m_strBook), 4);
    EXPECT_EQ(reloads.count(), 0);

    ChangeInTheWindow();  // 3 rows
    ASSERT_TRUE(WriteGeneratedBook(m_strBook, 6));
    WaitForTheWatcher();
    Save(MessageAnswer::kReload);
    EXPECT_EQ(EntriesInFile(m_strBook), 6);
    EXPECT_EQ(Rows(), 6);
    EXPECT_FALSE(Doc().IsModified());
    ASSERT_EQ(m_dialogs.Messages().size(), 3u);
    EXPECT_EQ(m_dialogs.Messages()[2].buttons, platform::MessageButtons::kReloadSaveAnywayCancel);

    ChangeInTheWindow();  // 5 rows
    ASSERT_TRUE(WriteGeneratedBook(m_strBook, 2));
    WaitForTheWatcher();
    Doc().SetModifiedFlag(false);
    ASSERT_TRUE(WaitForRows(2));

    ASSERT_TRUE(QFile::remove(m_strBook));
    QTest::qWait(100);
    ChangeInTheWindow();           // 1 row
    Save(MessageAnswer::kCancel);  // not asked
    EXPECT_EQ(EntriesInFile(m_strBook), 1);
    EXPECT_EQ(m_dialogs.Messages().size(), 3u);
    EXPECT_EQ(reloads.count(), 2);
    ASSERT_TRUE(WriteGeneratedBook(m_strBook, 6));
    ASSERT_TRUE(WaitForRows(6));
}

}  // namespace
}  // namespace shell::testing
