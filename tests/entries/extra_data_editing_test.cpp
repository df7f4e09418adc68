// What an entry holds beyond its 32 fields, through Add, Edit, Copy, their
// undo and redo, and the editor's "More" page.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "addressbook/entry_identity.h"
#include "addressbook/field_table.h"
#include "entries/entry_undo.h"
#include "entries/prop_info.h"
#include "entries_test_support.h"
#include "platform/control_name.h"
#include "resources/string_table.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::EntriesTest;

// An entry as a vCard import leaves it: a UID, a form and two properties
// without a field.
CAddressEntry ImportedEntry() {
    CAddressEntry entry;
    entry.SetField(LastName, "Appleseed");
    entry.SetField(FirstName, "Johnny");
    CExtraDataBuilder extra;
    extra.AddStringAttribute("UID", "urn:uuid:6b29a3c4-5c7e-4d4f-9b8a-3e2f1d0c9b8a");
    extra.AddStringAttribute("vCardForm", "N:{LastName};{FirstName};;;Jr.");
    extra.AddStringAttribute("vCard", "BDAY;VALUE=date:1980-04-01");
    extra.AddStringAttribute("vCard", "NICKNAME:Jo");
    entry.SetExtra(extra.Build());
    return entry;
}

CAddressEntry UidOnly() {
    CAddressEntry entry;
    entry.SetField(LastName, "Plain");
    SetEntryUid(entry, "urn:uuid:1");
    return entry;
}

class ExtraDataEditingTest : public EntriesTest {
protected:
    QUndoStack& Stack() { return Controller().Undo().Stack(); }

    void Append(const CAddressEntry& entry) {
        ASSERT_TRUE(List().AppendEntry(std::make_unique<CAddressEntry>(entry)));
    }
    // Runs `command` on row 0 and presses OK, after `look` saw the sheet.
    void OnFirstRow(void (CEntryCommands::*command)(),
                    const std::function<void(CPropInfo&)>& look = {}) {
        List().SelectRow(0);
        m_script.Accept<CPropInfo>(look);
        (Controller().EntryCommands().*command)();
    }
};

TEST_F(ExtraDataEditingTest, CopyKeepsTheExtraDataButNotTheIdentity) {
    const CAddressEntry source = ImportedEntry();
    Append(source);
    OnFirstRow(&CEntryCommands::OnCopy);

    ASSERT_EQ(List().RowCount(), 2);
    EXPECT_TRUE(List().EntryAt(0) == source);
    const CAddressEntry& copy = List().EntryAt(1);
    EXPECT_EQ(copy.GetField(LastName), "Appleseed - Copy");
    EXPECT_FALSE(EntryUid(copy));
    EXPECT_TRUE(copy.Extra() == CopyWithoutIdentity(source).Extra());

    const CAddressEntry made = copy;
    Stack().undo();
    EXPECT_EQ(List().RowCount(), 1);
    Stack().redo();
    ASSERT_EQ(List().RowCount(), 2);
    EXPECT_TRUE(List().EntryAt(1) == made);
}

TEST_F(ExtraDataEditingTest, EditKeepsTheExtraDataAndUndoRestoresWholeEntries) {
    const CAddressEntry before = ImportedEntry();
    Append(before);
    OnFirstRow(&CEntryCommands::OnEdit, [](CPropInfo& sheet) {
        platform::FindControl<QLineEdit>(sheet, kIdFirstName)->setText("John");
    });

    const CAddressEntry after = List().EntryAt(0);
    EXPECT_EQ(after.GetField(FirstName), "John");
    EXPECT_TRUE(after.Extra() == before.Extra());
    Stack().undo();
    EXPECT_TRUE(List().EntryAt(0) == before);
    Stack().redo();
    EXPECT_TRUE(List().EntryAt(0) == after);
}

TEST_F(ExtraDataEditingTest, AddMakesAnEntryWithoutExtraData) {
    m_script.Accept<CPropInfo>([](CPropInfo& sheet) {
        EXPECT_EQ(sheet.MorePage(), nullptr);
        platform::FindControl<QLineEdit>(sheet, kIdLastName)->setText("New");
    });
    Controller().EntryCommands().OnAdd();
    ASSERT_EQ(List().RowCount(), 1);
    EXPECT_TRUE(List().EntryAt(0).Extra().Empty());
}

// The "More" page comes after the five pages, only when there is something
// to tell; a UID alone is not.
TEST_F(ExtraDataEditingTest, MorePageListsTheExtraData) {
    struct Case {
        const char* name;
        CAddressEntry entry;
        void (CEntryCommands::*command)();
        std::vector<QString> lines;
    };
    const std::vector<QString> told = {"Name suffix: Jr.", "Birthday: 1980-04-01", "Nickname: Jo"};
    const Case cases[] = {
        {"edit", ImportedEntry(), &CEntryCommands::OnEdit, told},
        {"copy", ImportedEntry(), &CEntryCommands::OnCopy, told},
        {"uid only", UidOnly(), &CEntryCommands::OnEdit, {}},
        {"nothing", CAddressEntry(), &CEntryCommands::OnEdit, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        while (List().RowCount() > 0) {
            List().TakeRows({0});
        }
        Append(c.entry);
        OnFirstRow(c.command, [&](CPropInfo& sheet) {
            CPropMore* more = sheet.MorePage();
            if (c.lines.empty()) {
                EXPECT_EQ(more, nullptr);
                EXPECT_EQ(sheet.PageCount(), 5);
                return;
            }
            ASSERT_NE(more, nullptr);
            ASSERT_EQ(sheet.PageCount(), 6);
            EXPECT_EQ(sheet.PageAt(5), more);
            EXPECT_EQ(sheet.Tabs()->tabText(5), "More");
            const QStringList lines = more->Lines();
            EXPECT_EQ(std::vector<QString>(lines.begin(), lines.end()), c.lines);
            auto* box = platform::FindControl<QPlainTextEdit>(*more, kIdExtraData);
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->isReadOnly());
        });
    }
}

// A sheet loaded twice shows the second entry's page set; storing it into an
// entry changes the fields only.
TEST(PropInfo, MorePageFollowsTheEntryLoaded) {
    CPropInfo sheet(resources::kStrEditEntryCaption);
    sheet.LoadFromEntry(ImportedEntry());
    sheet.LoadFromEntry(UidOnly());
    EXPECT_EQ(sheet.MorePage(), nullptr);
    EXPECT_EQ(sheet.PageCount(), 5);
    CAddressEntry entry = ImportedEntry();
    sheet.StoreToEntry(entry);
    EXPECT_EQ(entry.GetField(LastName), "Plain");
    EXPECT_TRUE(entry.Extra() == ImportedEntry().Extra());
}

}  // namespace
}  // namespace entries
