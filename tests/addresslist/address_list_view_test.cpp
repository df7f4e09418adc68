#include "addresslist/address_list_view.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>
#include <memory>
#include <optional>

#include "addressbook/field_table.h"
#include "addresslist/sort_header_ctrl.h"
#include "clausedb/expr_database.h"
#include "list_test_support.h"
#include "platform/app_services.h"
#include "platform/command_router.h"
#include "platform/test_dialogs.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"
#include "settings/settings_keys.h"

namespace addresslist {
namespace {

using addressbook::City;
using addressbook::LastName;
using testing::AppendTexts;
using testing::FieldColumn;

std::string IdentityAfter(int first) {
    std::string text;
    for (int i = first; i < kColumnCount; ++i) {
        text += "," + std::to_string(i);
    }
    return text;
}

class ListViewTest : public ::testing::Test {
protected:
    // Makes the view; settings written before this call take effect.
    CQX32View& View() {
        if (!m_view) {
            m_view = std::make_unique<CQX32View>(Store());
            m_view->SetBringForwardHandler([] {});
            m_view->resize(900, 400);
            m_tester = std::make_unique<QAbstractItemModelTester>(
                &m_view->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        }
        return *m_view;
    }
    settings::SettingsStore& Store() { return m_settings->Store(); }
    // Closes the view and starts over with an empty settings file.
    void Restart() {
        m_tester.reset();
        m_view.reset();
        m_settings = std::make_unique<testing::TempSettings>();
    }
    std::optional<std::string> Stored(const settings::StringSetting& key) {
        const std::string text = Store().GetString(key.section, key.key, "<absent>");
        return text == "<absent>" ? std::nullopt : std::optional(text);
    }
    std::optional<int> Stored(const settings::IntSetting& key) {
        const int value = Store().GetInt(key.section, key.key, -999);
        return value == -999 ? std::nullopt : std::optional(value);
    }
    // Loads one `contact` clause per last name through the view's initial
    // update, as opening a book does.
    void Load(const std::vector<std::string>& lastNames) {
        std::string text;
        for (const std::string& name : lastNames) {
            text += "contact('LastName' = \"" + name + "\").\n";
        }
        clausedb::CExprDatabase db;
        addressbook::StagedEntries staged;
        ASSERT_TRUE(addressbook::ReadBookText(db, text, staged));
        View().OnInitialUpdate(staged);
        EXPECT_TRUE(staged.entries.empty());
    }
    void ClickHeader(int position) {
        QWidget* port = View().SortHeader().viewport();
        const int x = View().SortHeader().sectionViewportPosition(position) +
                      View().SortHeader().sectionSize(position) / 2;
        testing::Press(port, {x, 5});
        testing::Release(port, {x, 5});
    }

    std::unique_ptr<testing::TempSettings> m_settings = std::make_unique<testing::TempSettings>();
    platform::TestDialogs m_dialogs;
    platform::ScopedDialogs m_scopedDialogs{m_dialogs};
    std::unique_ptr<CQX32View> m_view;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

TEST_F(ListViewTest, LoadingAppliesTheRememberedSortAndShowsTheIdlePrompt) {
    settings::Write(Store(), settings::kSortDirection, 0);
    std::vector<int> prompts;
    platform::SetStatusTextSink([&](int id) { prompts.push_back(id); });
    Load({"b", "c", "a"});
    platform::SetStatusTextSink({});
    EXPECT_EQ(FieldColumn(View().Model(), LastName), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(View().SortHeader().SortColumn(), 0);
    EXPECT_EQ(prompts, std::vector<int>{resources::kStrIdleMessage});
    // The next book replaces the rows.
    Load({"x"});
    EXPECT_EQ(View().Model().RowCount(), 1);
}

TEST_F(ListViewTest, WithoutRememberSortRowsKeepFileOrderUntilAClick) {
    settings::Write(Store(), settings::kRememberSort, 0);
    Load({"b", "c", "a"});
    EXPECT_EQ(FieldColumn(View().Model(), LastName), (std::vector<std::string>{"b", "c", "a"}));
    ClickHeader(0);  // sort index 0 already: the direction flips to descending
    EXPECT_EQ(FieldColumn(View().Model(), LastName), (std::vector<std::string>{"c", "b", "a"}));
    View().Model().AppendEntry(testing::MakeEntry({{LastName, "z"}}));
    View().ResortList();
    EXPECT_EQ(FieldColumn(View().Model(), LastName).back(), "z");
}

TEST_F(ListViewTest, HeaderClicksSetAndRecordTheSort) {
    const struct {
        const char* name;
        int rememberSort;
        std::vector<int> clicks;
        int index;
        int direction;
    } cases[] = {
        {"same column flips", 1, {3, 3}, 3, 0},
        {"twice flips back", 1, {3, 3, 3}, 3, 1},
        {"other column keeps direction", 1, {3, 3, 5}, 5, 0},
        {"column 0 at start flips", 1, {0}, 0, 0},
        {"not remembered", 0, {4, 4}, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        settings::Write(Store(), settings::kRememberSort, c.rememberSort);
        for (int position : c.clicks) {
            ClickHeader(position);
        }
        EXPECT_EQ(View().SortIndex(), c.index);
        EXPECT_EQ(View().SortDirection(), c.direction);
        EXPECT_EQ(View().SortHeader().SortColumn(), c.index);
        EXPECT_EQ(Stored(settings::kSortDirection), c.direction);
        EXPECT_EQ(Stored(settings::kSortIndex),
                  c.rememberSort ? std::optional(c.index) : std::nullopt);
    }
}

TEST_F(ListViewTest, StoredSortOutOfRangeStartsAtColumnZero) {
    for (int stored : {45, -1, 32}) {
        settings::Write(Store(), settings::kSortIndex, stored);
        m_tester.reset();
        m_view.reset();
        EXPECT_EQ(View().SortIndex(), 0) << stored;
    }
}

TEST_F(ListViewTest, SortKeepsTheFocusedRowSelected) {
    Load({"b", "c", "a"});  // sorted on loading: a, b, c
    View().SelectRow(2);
    ClickHeader(0);  // descending: c, b, a
    EXPECT_EQ(View().SelectedRow(), 0);
    EXPECT_EQ(View().FocusedRow(), 0);
    EXPECT_EQ(View().Model().EntryAt(0).GetField(LastName), "c");
}

TEST_F(ListViewTest, DraggingCityFirstRecordsOrderAndKeepsTheSort) {
    Load({"b", "a"});
    ClickHeader(City);
    CSortHeaderCtrl& header = View().SortHeader();
    QWidget* port = header.viewport();
    const int cityX = header.sectionViewportPosition(City) + 30;
    testing::Press(port, {cityX, 5});
    testing::DragTo(port, {cityX + 1, 5});
    testing::DragTo(port, {10, 5});
    testing::Release(port, {10, 5});

    EXPECT_EQ(Stored(settings::kColumnOrder), "6,0,1,2,3,4,5" + IdentityAfter(7));
    EXPECT_EQ(View().Model().FieldAtPosition(0), City);
    EXPECT_EQ(header.sectionSize(0), 110);  // City's width came along
    EXPECT_EQ(header.sectionSize(1), 100);
    for (int p = 0; p < kColumnCount; ++p) {
        EXPECT_EQ(header.visualIndex(p), p);  // sections themselves never move
    }
    EXPECT_EQ(View().SortIndex(), 0);
    EXPECT_EQ(Stored(settings::kSortIndex), 0);
    EXPECT_EQ(header.SortColumn(), 0);
}

TEST_F(ListViewTest, RememberedLayoutIsShownAndRebuilt) {
    settings::Write(Store(), settings::kColumnOrder, "1,0" + IdentityAfter(2));
    settings::Write(Store(), settings::kColumnSizes, "70,80" + IdentityAfter(2));
    EXPECT_EQ(View().Model().FieldAtPosition(0), 1);
    EXPECT_EQ(View().SortHeader().sectionSize(0), 70);
    EXPECT_EQ(View().SortHeader().sectionSize(31), 31);

    ClickHeader(1);  // sort by Last Name, now at position 1
    settings::Write(Store(), settings::kColumnOrder, "2,3,0,1" + IdentityAfter(4));
    View().RebuildColumns();
    EXPECT_EQ(View().Model().FieldAtPosition(0), 2);
    EXPECT_EQ(View().SortIndex(), 2);  // still Last Name
    EXPECT_EQ(Stored(settings::kSortIndex), 2);
}

TEST_F(ListViewTest, SaveCommandsWriteTheLayout) {
    settings::Write(Store(), settings::kRememberCol, 0);
    settings::Write(Store(), settings::kRememberPos, 0);
    View().SortHeader().resizeSection(0, 55);
    ColumnTexts headers = View().Model().Labels();
    headers[1] = QStringLiteral("Unknown");
    View().Model().SetHeaderTexts(headers);

    EXPECT_TRUE(View().RunCommand(resources::kCmdSaveColumnWidths));
    EXPECT_EQ(Stored(settings::kColumnSizes).value_or("").substr(0, 7), "55,100,");
    EXPECT_TRUE(View().RunCommand(resources::kCmdSaveColumnPositions));
    EXPECT_EQ(Stored(settings::kColumnOrder), "0" + IdentityAfter(2));  // position 1 left out
    ASSERT_EQ(m_dialogs.Messages().size(), 2u);
    EXPECT_EQ(m_dialogs.Messages()[0].text, "Column widths have been saved.");
    EXPECT_EQ(m_dialogs.Messages()[1].text, "Column positions have been saved.");
    EXPECT_EQ(m_dialogs.Messages()[1].icon, platform::MessageIcon::kInformation);

    // After a move, an unknown header stands for its own position.
    settings::Write(Store(), settings::kRememberPos, 1);
    View().OnColumnMoved(0, 3);
    EXPECT_EQ(Stored(settings::kColumnOrder), "0,2,0" + IdentityAfter(3));
}

TEST_F(ListViewTest, ClosingWritesWidthsOnlyWhenRemembered) {
    for (int remember : {0, 1}) {
        Restart();
        settings::Write(Store(), settings::kRememberCol, remember);
        View().SortHeader().resizeSection(2, 77);
        m_tester.reset();
        m_view.reset();
        EXPECT_EQ(Stored(settings::kColumnSizes).has_value(), remember == 1);
    }
}

TEST_F(ListViewTest, PreferencesWidthsApplyOnlyWhenRememberColIsOne) {
    ColumnValues widths = kDefaultColumnWidths;
    widths[4] = 0;  // hidden
    settings::Write(Store(), settings::kRememberCol, 2);
    View().OnPreferencesAccepted(widths);
    EXPECT_EQ(View().SortHeader().sectionSize(4), 170);
    EXPECT_FALSE(Stored(settings::kColumnSizes).has_value());
    settings::Write(Store(), settings::kRememberCol, 1);
    View().OnPreferencesAccepted(widths);
    EXPECT_EQ(View().SortHeader().sectionSize(4), 0);
    EXPECT_EQ(Stored(settings::kColumnSizes), FormatColumnValues(widths));
}

TEST_F(ListViewTest, CommandStatesFollowSelectionFocusAndRows) {
    auto& view = View();
    const auto states = [&] {
        return std::vector<bool>{view.IsCommandEnabled(resources::kCmdAddressDelete),
                                 view.IsCommandEnabled(resources::kCmdDialHome),
                                 view.IsCommandEnabled(resources::kCmdEditFind)};
    };
    view.Commands().OnCommand(resources::kCmdAddressDelete, [] {});
    view.Commands().OnCommand(resources::kCmdDialHome, [] {});
    view.Commands().OnCommand(resources::kCmdEditFind, [] {});
    EXPECT_EQ(states(), (std::vector<bool>{false, false, false}));
    Load({"a", "b"});
    EXPECT_EQ(states(), (std::vector<bool>{false, false, true}));
    view.selectionModel()->setCurrentIndex(view.Model().index(1, 0), QItemSelectionModel::NoUpdate);
    EXPECT_EQ(states(), (std::vector<bool>{false, true, true}));  // focus without selection
    view.SelectRow(0);
    EXPECT_EQ(states(), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(view.IsCommandEnabled(resources::kCmdDialMenu));
}

TEST_F(ListViewTest, EnterAndDoubleClickRunEditThroughTheRouter) {
    platform::CommandRouter router;
    View().AttachCommandRouter(router);
    int edits = 0;
    View().Commands().OnCommand(resources::kCmdAddressEdit, [&] { ++edits; });
    Load({"a", "b"});
    QTest::keyClick(&View(), Qt::Key_Return);
    EXPECT_EQ(edits, 0);  // nothing selected: Edit is disabled
    View().SelectRow(1);
    QTest::keyClick(&View(), Qt::Key_Return);
    EXPECT_EQ(edits, 1);
    const QRect rowRect = View().visualRect(View().Model().index(1, 0));
    QTest::mouseDClick(View().viewport(), Qt::LeftButton, {}, rowRect.center());
    EXPECT_EQ(edits, 2);
    EXPECT_EQ(rowRect.height(), QFontMetrics(View().font()).height() + 6);
}

TEST_F(ListViewTest, ShiftF10ShowsTheContextMenuBelowTheTopLeftCorner) {
    QPoint shownAt;
    QStringList texts;
    View().SetPopupHandler([&](QMenu& menu, const QPoint& pos) {
        shownAt = pos;
        for (QAction* action : menu.actions()) {
            texts << action->text();
            if (action->text() == "&Edit...") {
                EXPECT_FALSE(action->isEnabled());
            }
        }
    });
    QTest::keyClick(&View(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(shownAt, View().viewport()->mapToGlobal(QPoint(50, 50)));
    EXPECT_EQ(texts, (QStringList{"&Find...", "", "&Add...", "&Edit...", "&Delete", "&Copy",
                                  "Copy as &vCard", "Pa&ste", "", "Dial", "Email", "Web", "",
                                  "&Preferences..."}));
}

}  // namespace
}  // namespace addresslist
