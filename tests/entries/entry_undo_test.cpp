// Undo and redo of every change to entries, and the modified flag that
// follows the history.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "addressbook/field_table.h"
#include "entries/entry_undo.h"
#include "entries/prop_info.h"
#include "entries_test_support.h"
#include "platform/control_name.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::EntriesTest;
using testing::Fields;
using testing::MakeEntry;
using Texts = std::vector<std::string>;

class EntryUndoTest : public EntriesTest {
protected:
    // Rows sorted by last name, so a row put back by an undo is at its old
    // place.
    EntryUndoTest() {
        Write(settings::kConfirmDelete, 0);
        Write(settings::kRememberSort, 1);
    }

    QUndoStack& Stack() { return Controller().Undo().Stack(); }

    void AddByCommand(const std::string& lastName) {
        m_script.Accept<CPropInfo>([lastName](CPropInfo& sheet) {
            platform::FindControl<QLineEdit>(sheet, kIdLastName)
                ->setText(QString::fromStdString(lastName));
        });
        Controller().EntryCommands().OnAdd();
    }
    void EditFocused(const std::string& lastName) {
        m_script.Accept<CPropInfo>([lastName](CPropInfo& sheet) {
            platform::FindControl<QLineEdit>(sheet, kIdLastName)
                ->setText(QString::fromStdString(lastName));
        });
        Controller().EntryCommands().OnEdit();
    }
    // Adds `count` entries, entry i made of row(i), as one import step.
    void Import(int count, const std::function<Fields(int)>& row) {
        std::vector<std::unique_ptr<CAddressEntry>> rows;
        for (int i = 0; i < count; ++i) {
            rows.push_back(std::make_unique<CAddressEntry>(MakeEntry(row(i))));
        }
        Controller().Undo().AddEntries("Import", std::move(rows), false);
    }
    void SelectText(const std::string& lastName) {
        for (int row = 0; row < List().RowCount(); ++row) {
            if (List().EntryAt(row).GetField(LastName) == lastName) {
                List().SelectRow(row);
                return;
            }
        }
        FAIL() << "no row " << lastName;
    }
};

TEST_F(EntryUndoTest, EachChangeUndoesAndRedoes) {
    AddTexts(LastName, {"a", "b"});
    struct Case {
        const char* name;
        std::function<void()> change;
        Texts after;
    };
    const Case cases[] = {
        {"add", [this] { AddByCommand("n"); }, {"a", "b", "n"}},
        {"edit",
         [this] {
             SelectText("b");
             EditFocused("e");
         },
         {"a", "e"}},
        {"copy",
         [this] {
             SelectText("a");
             m_script.Accept<CPropInfo>();
             Controller().EntryCommands().OnCopy();
         },
         {"a", "a - Copy", "b"}},
        {"delete",
         [this] {
             SelectText("a");
             Controller().EntryCommands().OnDelete();
         },
         {"b"}},
        {"import of several rows",
         [this] {
             Import(2, [](int i) { return Fields{{LastName, "i" + std::to_string(i + 1)}}; });
         },
         {"a", "b", "i1", "i2"}},
        {"stored item",
         [this] {
             SelectText("b");
             Controller().Undo().ReplaceEntry("Dial Work", List().FocusedRow(),
                                              MakeEntry({{LastName, "b"}, {WorkPhone, "5"}}),
                                              false);
         },
         {"a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Texts before = Column(LastName);
        const std::vector<std::string> phonesBefore = Column(WorkPhone);
        c.change();
        EXPECT_EQ(Column(LastName), c.after);
        EXPECT_TRUE(m_document.IsModified());
        ASSERT_TRUE(Stack().canUndo());

        Stack().undo();
        EXPECT_EQ(Column(LastName), before);
        EXPECT_EQ(Column(WorkPhone), phonesBefore);
        EXPECT_FALSE(m_document.IsModified());

        Stack().redo();
        EXPECT_EQ(Column(LastName), c.after);
        EXPECT_TRUE(m_document.IsModified());

        Stack().undo();
        Stack().clear();
    }
}

TEST_F(EntryUndoTest, LaterStepsStillFindAnEntryPutBackByUndo) {
    // Delete "a", undo (it comes back as a new object), edit it, then walk
    // the whole history back and forth.
    AddTexts(LastName, {"a", "b"});
    SelectText("a");
    Controller().EntryCommands().OnDelete();
    Stack().undo();
    EXPECT_EQ(Column(LastName), (Texts{"a", "b"}));
    SelectText("a");
    EditFocused("a2");
    AddByCommand("c");
    SelectText("a2");
    EditFocused("a3");
    EXPECT_EQ(Column(LastName), (Texts{"a3", "b", "c"}));

    while (Stack().canUndo()) {
        Stack().undo();
    }
    EXPECT_EQ(Column(LastName), (Texts{"a", "b"}));
    while (Stack().canRedo()) {
        Stack().redo();
    }
    EXPECT_EQ(Column(LastName), (Texts{"a3", "b", "c"}));
    // An added row that was taken out and put back by undo and redo can
    // still be edited, and the edit undone and redone across further
    // removals of the row.
    Stack().undo();
    Stack().undo();
    Stack().redo();
    Stack().redo();
    SelectText("c");
    EditFocused("c2");
    for (int i = 0; i < 3; ++i) {
        Stack().undo();
    }
    EXPECT_EQ(Column(LastName), (Texts{"a2", "b"}));
    for (int i = 0; i < 3; ++i) {
        Stack().redo();
    }
    EXPECT_EQ(Column(LastName), (Texts{"a3", "b", "c2"}));
}

TEST_F(EntryUndoTest, ModifiedFollowsTheCleanState) {
    Controller();
    AddByCommand("a");
    AddByCommand("b");
    EXPECT_TRUE(m_document.IsModified());

    // A save clears the flag; the present state becomes the clean one.
    m_document.SetModifiedFlag(false);
    AddByCommand("c");
    EXPECT_TRUE(m_document.IsModified());
    Stack().undo();
    EXPECT_FALSE(m_document.IsModified());  // back where it was saved
    Stack().undo();
    EXPECT_TRUE(m_document.IsModified());  // before the save
    Stack().redo();
    EXPECT_FALSE(m_document.IsModified());

    // A new change after undoing past the save leaves no way back to the
    // saved state: modified from then on.
    Stack().undo();
    AddByCommand("d");
    EXPECT_TRUE(m_document.IsModified());
    Stack().undo();
    EXPECT_TRUE(m_document.IsModified());

    // A new or opened book starts an empty history.
    emit m_document.initialUpdate();
    EXPECT_FALSE(Stack().canUndo());
    EXPECT_FALSE(m_document.IsModified());
}

TEST_F(EntryUndoTest, UndoOfAnImportKeepsTheFocusedRow) {
    AddTexts(LastName, {"a", "b"});
    SelectText("b");
    Import(5, [](int i) { return Fields{{LastName, "i" + std::to_string(i)}}; });
    EXPECT_EQ(List().EntryAt(List().FocusedRow()).GetField(LastName), "b");
    Stack().undo();
    EXPECT_EQ(Column(LastName), (Texts{"a", "b"}));
    EXPECT_EQ(List().EntryAt(List().FocusedRow()).GetField(LastName), "b");
}

TEST_F(EntryUndoTest, UndoOfADeletePutsTheRowBackWhereItWas) {
    // Unsorted: the row returns to its old place, not the end.  Sorted: it
    // returns among rows with the same key in its old order.
    const struct {
        const char* name;
        int rememberSort;
        Texts rows;
        int deleted;
    } cases[] = {
        {"unsorted, middle", 0, {"c", "a", "b"}, 1},
        {"unsorted, first", 0, {"c", "a", "b"}, 0},
        {"unsorted, last", 0, {"c", "a", "b"}, 2},
        {"sorted, equal keys", 1, {"x", "x", "x"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write(settings::kRememberSort, c.rememberSort);
        Controller().Undo().Reset();
        List().SetRedraw(false);
        while (List().RowCount() > 0) {
            List().TakeRows({0});
        }
        List().SetRedraw(true);
        Import(static_cast<int>(c.rows.size()), [&c](int i) {
            return Fields{{LastName, c.rows[static_cast<std::size_t>(i)]},
                          {City, std::to_string(i)}};
        });
        Stack().clear();
        const Texts cities = Column(City);

        List().SelectRow(c.deleted);
        Controller().EntryCommands().OnDelete();
        ASSERT_EQ(List().RowCount(), static_cast<int>(c.rows.size()) - 1);
        Stack().undo();
        EXPECT_EQ(Column(City), cities);
        EXPECT_EQ(List().FocusedRow(), c.deleted);
        Stack().redo();
        Stack().undo();
        EXPECT_EQ(Column(City), cities);
    }
}

TEST_F(EntryUndoTest, UndoOfALargeImportTakesOutExactlyItsRows) {
    // Imported rows sort in between the existing ones, so undo has to take
    // out many separate runs of rows.
    Import(500, [](int i) { return Fields{{LastName, std::to_string(10000 + 2 * i)}}; });
    Stack().clear();
    const Texts before = Column(LastName);
    Import(2000, [](int i) {
        return Fields{{LastName, std::to_string(10000 + (i % 1000) * 2 + 1)}};
    });
    ASSERT_EQ(List().RowCount(), 2500);
    EXPECT_EQ(List().EntryAt(1).GetField(LastName), "10001");

    Stack().undo();
    EXPECT_EQ(Column(LastName), before);
    Stack().redo();
    EXPECT_EQ(List().RowCount(), 2500);
    Stack().undo();
    EXPECT_EQ(Column(LastName), before);
}

TEST_F(EntryUndoTest, UndoAndRedoRunAsCommands) {
    Controller().RegisterViewCommands(View().Commands());
    EXPECT_FALSE(View().IsCommandEnabled(kCmdEditUndo));
    EXPECT_FALSE(View().IsCommandEnabled(kCmdEditRedo));
    AddByCommand("a");
    EXPECT_TRUE(View().IsCommandEnabled(kCmdEditUndo));
    EXPECT_TRUE(View().RunCommand(kCmdEditUndo));
    EXPECT_EQ(List().RowCount(), 0);
    EXPECT_TRUE(View().RunCommand(kCmdEditRedo));
    EXPECT_EQ(List().RowCount(), 1);
    EXPECT_EQ(Stack().undoText(), "Add");
}

}  // namespace
}  // namespace entries
