// Add, Edit, Copy and Delete on a real list view.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <optional>

#include "addressbook/field_table.h"
#include "entries/prop_info.h"
#include "entries_test_support.h"
#include "platform/control_name.h"
#include "resources/command_ids.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::EntriesTest;

QLineEdit* Box(CPropInfo& sheet, int controlId) {
    return platform::FindControl<QLineEdit>(sheet, controlId);
}

class EntryCommandsTest : public EntriesTest {};

TEST_F(EntryCommandsTest, AddStartsFromTheDefaults) {
    Write(settings::kDefaultCity, "Springfield");
    Write(settings::kDefaultCountry, "Freedonia");
    Write(settings::kDefaultComp, "Acme");
    Write(settings::kDefaultEmail, "info@acme.test");
    Write(settings::kDefaultPrefix, "(555)");
    Write(settings::kDefaultState, "ST");
    Write(settings::kDefaultWeb, "http://");
    Write(settings::kDefaultZip, "01234");
    struct Expected {
        int controlId;
        const char* text;
    };
    const Expected expected[] = {
        {kIdCity, "Springfield"},
        {kIdCountry, "Freedonia"},
        {kIdCompany, "Acme"},
        {kIdEmail1, "info@acme.test"},
        {kIdHomePhone, "(555)"},
        {kIdState, "ST"},
        {kIdWeb1, "http://"},
        {kIdZipCode, "01234"},
        // The prefix is the home phone's only.
        {kIdWorkPhone, ""},
        {kIdPager, ""},
        {kIdFaxPhone, ""},
        {kIdCellPhone, ""},
        {kIdLastName, ""},
    };
    m_script.Accept<CPropInfo>([&](CPropInfo& sheet) {
        EXPECT_EQ(sheet.windowTitle(), "Add a New Entry");
        for (const Expected& e : expected) {
            EXPECT_EQ(Box(sheet, e.controlId)->text(), QString::fromUtf8(e.text)) << e.controlId;
        }
        Box(sheet, kIdLastName)->setText("Zed");
    });
    Controller().EntryCommands().OnAdd();

    ASSERT_EQ(List().RowCount(), 1);
    EXPECT_EQ(List().EntryAt(0).GetField(LastName), "Zed");
    EXPECT_EQ(List().EntryAt(0).GetField(HomePhone), "(555)");
    EXPECT_EQ(List().EntryAt(0).GetField(Web1), "http://");
    EXPECT_EQ(List().FocusedRow(), 0);
    EXPECT_TRUE(m_document.IsModified());
}

TEST_F(EntryCommandsTest, NewEntriesFollowTheRememberedSort) {
    struct Case {
        int rememberSort;
        std::vector<std::string> expected;
    };
    for (const Case& c :
         {Case{0, {"b", "d", "a - Copy", "c"}}, Case{1, {"a - Copy", "b", "c", "d"}}}) {
        SCOPED_TRACE(c.rememberSort);
        Fresh();
        Write(settings::kRememberSort, c.rememberSort);
        Write(settings::kSortIndex, 0);
        AddTexts(LastName, {"b", "d"});
        List().SelectRow(0);
        // Copy of "b" renamed "a" (the copy suffix is added), then Add "c".
        m_script.Accept<CPropInfo>([](CPropInfo& sheet) {
            EXPECT_EQ(Box(sheet, kIdLastName)->text(), "b - Copy");
            Box(sheet, kIdLastName)->setText("a - Copy");
        });
        Controller().EntryCommands().OnCopy();
        m_script.Accept<CPropInfo>([](CPropInfo& sheet) { Box(sheet, kIdLastName)->setText("c"); });
        Controller().EntryCommands().OnAdd();
        EXPECT_EQ(Column(LastName), c.expected);
        // The new row is the selected one.
        EXPECT_EQ(List().EntryAt(List().SelectedRow()).GetField(LastName), "c");
    }
}

TEST_F(EntryCommandsTest, CopyKeepsTheSourceAndAddsTheSuffix) {
    AddRows({{{LastName, ""}, {FirstName, "Ann"}, {Notes, "x<p>y"}}});
    List().SelectRow(0);
    m_script.Accept<CPropInfo>([](CPropInfo& sheet) {
        EXPECT_EQ(sheet.windowTitle(), "Copy an Existing Entry");
        EXPECT_EQ(Box(sheet, kIdLastName)->text(), " - Copy");
    });
    Controller().EntryCommands().OnCopy();
    ASSERT_EQ(List().RowCount(), 2);
    EXPECT_EQ(Column(LastName), (std::vector<std::string>{"", " - Copy"}));
    EXPECT_EQ(List().EntryAt(1).GetField(FirstName), "Ann");
    EXPECT_EQ(List().EntryAt(1).GetField(Notes), "x<p>y");
    EXPECT_NE(&List().EntryAt(0), &List().EntryAt(1));
}

TEST_F(EntryCommandsTest, EditChangesTheFocusedEntryInPlace) {
    Write(settings::kRememberSort, 1);
    AddTexts(LastName, {"a", "b", "c"});
    List().SelectRow(0);
    const CAddressEntry* entry = &List().EntryAt(0);
    m_script.Accept<CPropInfo>([](CPropInfo& sheet) {
        EXPECT_EQ(sheet.windowTitle(), "Edit an Existing Entry");
        Box(sheet, kIdLastName)->setText("z");
        platform::FindControl<QPlainTextEdit>(sheet, kIdNotes)->setPlainText("l1\nl2\nl3");
    });
    Controller().EntryCommands().OnEdit();
    EXPECT_EQ(Column(LastName), (std::vector<std::string>{"b", "c", "z"}));
    // Same entry, at its sorted place, still focused.
    EXPECT_EQ(&List().EntryAt(2), entry);
    EXPECT_EQ(List().FocusedRow(), 2);
    EXPECT_EQ(entry->GetField(Notes), "l1<p>l2<p>l3");
}

TEST_F(EntryCommandsTest, EditOkWithoutChangeStillMarksModified) {
    AddTexts(LastName, {"a"});
    List().SelectRow(0);
    m_script.Accept<CPropInfo>();
    Controller().EntryCommands().OnEdit();
    EXPECT_EQ(Column(LastName), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(m_document.IsModified());

    m_document.SetModifiedFlag(false);
    m_script.Cancel<CPropInfo>();
    Controller().EntryCommands().OnEdit();
    EXPECT_FALSE(m_document.IsModified());
}

TEST_F(EntryCommandsTest, CommandsWithoutAFocusedRowDoNothing) {
    AddTexts(LastName, {"a"});
    Controller().EntryCommands().OnEdit();
    Controller().EntryCommands().OnCopy();
    Controller().EntryCommands().OnDelete();
    Controller().ContactActions().OnContactCommand(resources::kCmdDialHome);
    Controller().ContactActions().OnContactCommand(resources::kCmdEmail1);
    EXPECT_EQ(m_script.Shown(), 0);
    EXPECT_TRUE(m_messages.Messages().empty());
    EXPECT_TRUE(m_opener.urls.empty());
    EXPECT_EQ(List().RowCount(), 1);
}

TEST_F(EntryCommandsTest, DeleteAsksWhenConfirmDeleteIsOn) {
    struct Case {
        const char* name;
        int confirm;  // -1: key absent
        std::optional<platform::MessageAnswer> answer;
        bool asked;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {"default asks, yes", -1, platform::MessageAnswer::kYes, true, {"a", "c"}},
        {"asks, no", 1, platform::MessageAnswer::kNo, true, {"a", "b", "c"}},
        {"off: at once", 0, std::nullopt, false, {"a", "c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        m_document.SetModifiedFlag(false);
        if (c.confirm >= 0) {
            Write(settings::kConfirmDelete, c.confirm);
        }
        AddTexts(LastName, {"a", "b", "c"});
        List().SelectRow(1);
        if (c.answer) {
            m_messages.QueueAnswer(*c.answer);
        }
        Controller().EntryCommands().OnDelete();
        EXPECT_EQ(Column(LastName), c.left);
        ASSERT_EQ(m_messages.Messages().size(), c.asked ? 1u : 0u);
        if (c.asked) {
            const platform::MessageRequest& asked = m_messages.Messages().front();
            EXPECT_EQ(asked.text, "Are you sure you wish to delete the selected address?");
            EXPECT_EQ(asked.icon, platform::MessageIcon::kNone);
            EXPECT_EQ(asked.buttons, platform::MessageButtons::kYesNo);
        }
        EXPECT_EQ(m_document.IsModified(), c.left.size() == 2);
    }
}

TEST_F(EntryCommandsTest, DeleteSelectsTheRowThatTakesTheFocus) {
    Write(settings::kConfirmDelete, 0);
    AddTexts(LastName, {"a", "b", "c"});
    struct Step {
        int selected;
        std::vector<std::string> left;
        std::string focused;  // empty: no row left
    };
    for (const Step& step : {Step{1, {"a", "c"}, "c"}, Step{1, {"a"}, "a"}, Step{0, {}, ""}}) {
        List().SelectRow(step.selected);
        Controller().EntryCommands().OnDelete();
        EXPECT_EQ(Column(LastName), step.left);
        if (step.focused.empty()) {
            EXPECT_EQ(List().FocusedRow(), -1);
        } else {
            ASSERT_GE(List().SelectedRow(), 0);
            EXPECT_EQ(List().SelectedRow(), List().FocusedRow());
            EXPECT_EQ(List().EntryAt(List().SelectedRow()).GetField(LastName), step.focused);
        }
    }
    EXPECT_EQ(m_nBroughtForward, 2);
}

}  // namespace
}  // namespace entries
