// Selecting several rows with the mouse and the keyboard, and moving many
// rows of the model at once.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addressbook/field_table.h"
#include "addresslist/address_list_view.h"
#include "list_test_support.h"
#include "resources/command_ids.h"
#include "settings/settings_keys.h"

namespace addresslist {
namespace {

using addressbook::LastName;
using testing::AppendTexts;
using testing::FieldColumn;

class SelectionTest : public ::testing::Test {
protected:
    SelectionTest() {
        m_view.SetBringForwardHandler([] {});
        m_view.resize(900, 400);
    }

    void Click(int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect rect = m_view.visualRect(m_view.Model().index(row, 0));
        QTest::mouseClick(m_view.viewport(), Qt::LeftButton, modifiers, rect.center());
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(&m_view, key, modifiers);
    }

    testing::TempSettings m_settings;
    CQX32View m_view{m_settings.Store()};
    QAbstractItemModelTester m_tester{&m_view.Model(),
                                      QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(SelectionTest, ClicksAndKeysSelectSeveralRows) {
    AppendTexts(m_view.Model(), LastName, {"a", "b", "c", "d", "e", "f"});
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<int> selected;
        int focused;
        int selectedRow;  // the one the single-entry commands see
    };
    const Step steps[] = {
        {"click", [&] { Click(1); }, {1}, 1, 1},
        {"Shift+click extends", [&] { Click(3, Qt::ShiftModifier); }, {1, 2, 3}, 3, 3},
        {"Ctrl+click adds", [&] { Click(5, Qt::ControlModifier); }, {1, 2, 3, 5}, 5, 5},
        // The focus stays on a row that Ctrl+click took out of the selection.
        {"Ctrl+click removes", [&] { Click(2, Qt::ControlModifier); }, {1, 3, 5}, 2, 1},
        {"click starts again", [&] { Click(0); }, {0}, 0, 0},
        {"Shift+Down", [&] { Key(Qt::Key_Down, Qt::ShiftModifier); }, {0, 1}, 1, 1},
        {"Shift+Down", [&] { Key(Qt::Key_Down, Qt::ShiftModifier); }, {0, 1, 2}, 2, 2},
        {"Shift+Up", [&] { Key(Qt::Key_Up, Qt::ShiftModifier); }, {0, 1}, 1, 1},
        {"Ctrl+Down moves the focus only",
         [&] { Key(Qt::Key_Down, Qt::ControlModifier); },
         {0, 1},
         2,
         0},
        {"Ctrl+Space adds", [&] { Key(Qt::Key_Space, Qt::ControlModifier); }, {0, 1, 2}, 2, 2},
        {"Ctrl+Space removes", [&] { Key(Qt::Key_Space, Qt::ControlModifier); }, {0, 1}, 2, 0},
        {"Down selects one row", [&] { Key(Qt::Key_Down); }, {3}, 3, 3},
        {"Select All",
         [&] { EXPECT_TRUE(m_view.RunCommand(resources::kCmdEditSelectAll)); },
         {0, 1, 2, 3, 4, 5},
         3,
         3},
        {"click", [&] { Click(4); }, {4}, 4, 4},
        {"Ctrl+A", [&] { Key(Qt::Key_A, Qt::ControlModifier); }, {0, 1, 2, 3, 4, 5}, 4, 4},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(m_view.SelectedRows(), step.selected);
        EXPECT_EQ(m_view.FocusedRow(), step.focused);
        EXPECT_EQ(m_view.SelectedRow(), step.selectedRow);
    }
}

TEST_F(SelectionTest, SelectAllIsEnabledWithRows) {
    EXPECT_FALSE(m_view.IsCommandEnabled(resources::kCmdEditSelectAll));
    AppendTexts(m_view.Model(), LastName, {"a"});
    EXPECT_TRUE(m_view.IsCommandEnabled(resources::kCmdEditSelectAll));
}

TEST_F(SelectionTest, SelectRowsSkipsRowsOutOfRange) {
    AppendTexts(m_view.Model(), LastName, {"a", "b", "c", "d", "e"});
    m_view.SelectRows({4, 0, 1, 9, -1, 1}, 1);
    EXPECT_EQ(m_view.SelectedRows(), (std::vector<int>{0, 1, 4}));
    EXPECT_EQ(m_view.FocusedRow(), 1);
    m_view.SelectRows({}, -1);
    EXPECT_TRUE(m_view.SelectedRows().empty());
    EXPECT_EQ(m_view.SelectedRow(), -1);
}

// A header click keeps a selection of several rows on its entries, where
// a single row is selected again as before.
TEST_F(SelectionTest, SortingKeepsASelectionOfSeveralRows) {
    AppendTexts(m_view.Model(), LastName, {"a", "b", "c", "d"});
    m_view.SelectRows({0, 2}, 2);
    m_view.OnColumnClick(0);  // sort index 0 already: descending d, c, b, a
    EXPECT_EQ(FieldColumn(m_view.Model(), LastName),
              (std::vector<std::string>{"d", "c", "b", "a"}));
    EXPECT_EQ(m_view.SelectedRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(m_view.FocusedRow(), 1);
}

TEST_F(SelectionTest, InsertRowsUndoesTakeRows) {
    AppendTexts(m_view.Model(), LastName, {"a", "b", "c", "d", "e", "f"});
    AddressListModel& model = m_view.Model();
    for (const bool bulk : {false, true}) {
        SCOPED_TRACE(bulk);
        const std::vector<int> rows = {0, 2, 3, 5};
        model.SetRedraw(!bulk);
        auto taken = model.TakeRows(rows);
        model.SetRedraw(true);
        EXPECT_EQ(FieldColumn(model, LastName), (std::vector<std::string>{"b", "e"}));
        model.SetRedraw(!bulk);
        ASSERT_TRUE(model.InsertRows(rows, taken));
        model.SetRedraw(true);
        EXPECT_TRUE(taken.empty());
        EXPECT_EQ(FieldColumn(model, LastName),
                  (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
    }
}

TEST_F(SelectionTest, InsertRowsRefusesBadRowsAndKeepsTheEntries) {
    AppendTexts(m_view.Model(), LastName, {"a", "b"});
    AddressListModel& model = m_view.Model();
    const auto two = [] {
        std::vector<std::unique_ptr<addressbook::CAddressEntry>> entries;
        entries.push_back(testing::MakeEntry({{LastName, "x"}}));
        entries.push_back(testing::MakeEntry({{LastName, "y"}}));
        return entries;
    };
    const std::vector<std::vector<int>> refused = {
        {1, 1},        // not ascending
        {2, 1},        //
        {0, 4},        // past the end once the first is in
        {-1, 0}, {0},  // fewer rows than entries
    };
    for (const std::vector<int>& rows : refused) {
        auto entries = two();
        EXPECT_FALSE(model.InsertRows(rows, entries));
        EXPECT_EQ(entries.size(), 2u);
        EXPECT_EQ(model.RowCount(), 2);
    }
    model.SetRowLimit(3);
    auto entries = two();
    EXPECT_FALSE(model.InsertRows({0, 3}, entries));
    model.SetRowLimit(-1);
    ASSERT_TRUE(model.InsertRows({0, 3}, entries));
    EXPECT_EQ(FieldColumn(model, LastName), (std::vector<std::string>{"x", "a", "b", "y"}));
}

}  // namespace
}  // namespace addresslist
