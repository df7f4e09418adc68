// A book that another program changes on disk while the window has it open:
// a quiet reload without unsaved changes, the question before a save with
// them, and no reaction to the window's own saves.
#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <string>
#include <vector>

#include "addresslist/address_list_view.h"
#include "document/qx32_doc.h"
#include "platform/doc_manager.h"
#include "resources/command_ids.h"
#include "settings/settings_keys.h"
#include "shell/main_frame.h"
#include "shell/qx32_app.h"
#include "shell_test_support.h"

namespace shell::testing {
namespace {

using platform::MessageAnswer;

constexpr int kWaitMs = 5000;

// The Last Name of every entry in the book at `path`; empty when it does
// not read.
std::vector<std::string> NamesInFile(const QString& path) {
    clausedb::CExprDatabase db;
    addressbook::StagedEntries staged;
    std::vector<std::string> names;
    if (addressbook::ReadBook(db, QFile::encodeName(path).toStdString(), staged)) {
        for (const auto& entry : staged.entries) {
            names.emplace_back(entry->GetField(0));
        }
    }
    return names;
}

// Writes a book of one entry per last name beside `path` and renames it
// over, as another program's safe save does.
bool WriteNames(const QString& path, std::initializer_list<const char*> names) {
    addressbook::VectorAddressList list;
    for (const char* name : names) {
        auto entry = std::make_unique<addressbook::CAddressEntry>();
        entry->SetField(0, name);
        entry->SetField(1, "First");
        entry->SetField(6, "Capital City");  // another city than the generated books'
        list.AppendEntry(std::move(entry));
    }
    clausedb::CExprDatabase db;
    return addressbook::SaveBook(list, db, QFile::encodeName(path).toStdString());
}

class DiskChangeTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        m_strBook = Path("people.qxd");
        ASSERT_TRUE(WriteGeneratedBook(m_strBook, 5));
    }
    void StartWithTheBook() {
        ASSERT_TRUE(Start({m_strBook}));
        Manager().Watcher().SetSettleDelay(20);
    }
    platform::CDocManager& Manager() { return *m_app->DocManager(); }
    addresslist::CQX32View& View() { return *m_app->View(); }
    document::CQX32Doc& Doc() { return *m_app->Document(); }
    std::string NameAt(int row) { return std::string(View().Model().EntryAt(row).GetField(0)); }
    std::vector<std::string> SelectedNames() {
        std::vector<std::string> names;
        for (int row : View().SelectedRows()) {
            names.push_back(NameAt(row));
        }
        return names;
    }
    // A change made in the window and not saved yet: the first row deleted.
    void ChangeInTheWindow() {
        ASSERT_TRUE(View().Model().RemoveRow(0));
        Doc().SetModifiedFlag(true);
    }
    // Waits until the watcher has looked at the file after a change.
    bool WaitForTheWatcher() {
        QSignalSpy seen(&Manager().Watcher(), &platform::FileChangeWatcher::changedOnDisk);
        return seen.wait(kWaitMs);
    }

    QString m_strBook;
};

TEST_F(DiskChangeTest, ReloadWithoutUnsavedChangesKeepsSelectionAndSort) {
    // A sort that is not remembered must survive the reload as well.
    settings::Write(Settings(), settings::kRememberSort, 0);
    StartWithTheBook();
    View().OnColumnClick(0);
    if (View().SortDirection() != 0) {
        View().OnColumnClick(0);  // descending by Last Name
    }
    ASSERT_EQ(NameAt(0), "Name 4");
    View().SelectRows({1, 3}, 3);  // Name 3, focus on Name 1
    ASSERT_EQ(NameAt(3), "Name 1");

    // Another program writes the file anew: "Name 2" is gone, "Name 7" is new.
    ASSERT_TRUE(WriteNames(m_strBook, {"Name 7", "Name 0", "Name 1", "Name 3", "Name 4"}));

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return View().Model().RowCount() == 5 && NameAt(0) == "Name 7"; }, kWaitMs));
    EXPECT_EQ(NameAt(4), "Name 0");
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"Name 3", "Name 1"}));
    EXPECT_EQ(NameAt(View().FocusedRow()), "Name 1");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(m_dialogs.Messages().empty());
}

TEST_F(DiskChangeTest, ChangeInPlaceAndHalfWrittenFiles) {
    StartWithTheBook();
    // Written in place, not renamed: noticed too.
    ASSERT_TRUE(WriteText(m_strBook, "contact('LastName' = \"Solo\").\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().Model().RowCount() == 1; }, kWaitMs));
    EXPECT_EQ(NameAt(0), "Solo");

    // Caught half-written: the list stays, nothing is reported or marked.
    ASSERT_TRUE(WriteText(m_strBook, "contact('LastName' = \"Doe\").\ncontact('LastN"));
    ASSERT_TRUE(WaitForTheWatcher());
    QTest::qWait(50);
    EXPECT_EQ(View().Model().RowCount(), 1);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(m_dialogs.Messages().empty());

    // The rest arrives: the book is read.
    ASSERT_TRUE(WriteText(m_strBook,
                          "contact('LastName' = \"Doe\").\n"
                          "contact('LastName' = \"Roe\").\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().Model().RowCount() == 2; }, kWaitMs));
}

TEST_F(DiskChangeTest, UnsavedChangesAskBeforeSaving) {
    struct Case {
        MessageAnswer answer;
        std::vector<std::string> fileAfter;
        int rowsAfter;
        bool modifiedAfter;
    };
    const std::vector<std::string> theirs = {"Name 0", "Name 1", "Name 2", "Name 3",
                                             "Name 4", "Name 5", "Name 6"};
    const std::vector<std::string> ours = {"Name 1", "Name 2", "Name 3", "Name 4"};
    const Case cases[] = {
        {MessageAnswer::kReload, theirs, 7, false},
        {MessageAnswer::kSaveAnyway, ours, 4, false},
        {MessageAnswer::kCancel, theirs, 4, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        ASSERT_TRUE(WriteGeneratedBook(m_strBook, 5));
        m_dialogs.Clear();
        StartWithTheBook();
        ChangeInTheWindow();
        ASSERT_TRUE(WriteGeneratedBook(m_strBook, 7));
        // Noticed, but the window's changes are not thrown away unasked.
        ASSERT_TRUE(WaitForTheWatcher());
        QTest::qWait(50);
        EXPECT_EQ(View().Model().RowCount(), 4);
        EXPECT_TRUE(m_dialogs.Messages().empty());

        m_dialogs.QueueAnswer(c.answer);
        Run(resources::kCmdFileSave);
        ASSERT_EQ(m_dialogs.Messages().size(), 1u);
        EXPECT_EQ(m_dialogs.Messages()[0].buttons,
                  platform::MessageButtons::kReloadSaveAnywayCancel);
        EXPECT_EQ(NamesInFile(m_strBook), c.fileAfter);
        EXPECT_EQ(View().Model().RowCount(), c.rowsAfter);
        EXPECT_EQ(Doc().IsModified(), c.modifiedAfter);
        m_app.reset();
    }
}

TEST_F(DiskChangeTest, GoneEntriesAndUndoneChanges) {
    StartWithTheBook();
    View().SelectRow(2);  // Name 2
    // Name 2 removed elsewhere: its neighbour takes the selection.
    ASSERT_TRUE(WriteNames(m_strBook, {"Name 0", "Name 1", "Name 3"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().Model().RowCount() == 3; }, kWaitMs));
    EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"Name 3"}));
    EXPECT_EQ(View().FocusedRow(), 2);

    // A change seen while the window had its own; once those are undone
    // the book is read.
    ChangeInTheWindow();
    ASSERT_TRUE(WriteGeneratedBook(m_strBook, 6));
    ASSERT_TRUE(WaitForTheWatcher());
    EXPECT_EQ(View().Model().RowCount(), 2);
    Doc().SetModifiedFlag(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().Model().RowCount() == 6; }, kWaitMs));
    EXPECT_TRUE(m_dialogs.Messages().empty());
}

TEST_F(DiskChangeTest, OwnSavesAndDeletedFilesAskNothing) {
    StartWithTheBook();
    QSignalSpy reloads(&Doc(), &platform::CDocument::reloaded);
    for (int i = 0; i < 2; ++i) {
        ChangeInTheWindow();
        ASSERT_TRUE(Manager().OnFileSave());
        QTest::qWait(100);  // the watcher sees the window's own file
        EXPECT_EQ(View().Model().RowCount(), 4 - i);
        EXPECT_FALSE(Doc().IsModified());
    }
    EXPECT_TRUE(m_dialogs.Messages().empty());
    EXPECT_EQ(reloads.count(), 0);

    // Deleted by another program: the list stays, the next save writes it.
    ASSERT_TRUE(QFile::remove(m_strBook));
    QTest::qWait(100);
    EXPECT_EQ(View().Model().RowCount(), 3);
    ChangeInTheWindow();
    ASSERT_TRUE(Manager().OnFileSave());
    EXPECT_TRUE(m_dialogs.Messages().empty());
    EXPECT_EQ(NamesInFile(m_strBook), (std::vector<std::string>{"Name 3", "Name 4"}));
    QTest::qWait(100);
    EXPECT_EQ(reloads.count(), 0);

    // ... and the file written again is watched again.
    ASSERT_TRUE(WriteGeneratedBook(m_strBook, 6));
    ASSERT_TRUE(QTest::qWaitFor([&] { return View().Model().RowCount() == 6; }, kWaitMs));
}

}  // namespace
}  // namespace shell::testing
