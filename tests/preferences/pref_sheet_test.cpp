// The preferences sheet: what it shows with and without a settings file,
// the refusals of its number boxes, what it writes and in which order, the
// column widths it hands to the list, and the column order page.
#include "preferences/pref_sheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "addresslist/column_layout.h"
#include "platform/test_dialogs.h"
#include "preferences/spin_edit.h"
#include "settings/settings_store.h"
#include "support/temp_folder.h"

namespace preferences {
namespace {

constexpr const char* kIntegerMessage = "Please enter an integer.";
constexpr const char* kRangeMessage = "Please enter an integer between 1 and 8.";

std::string Identity() {
    return addresslist::FormatColumnValues(addresslist::IdentityColumnOrder());
}

class PrefSheetTest : public ::testing::Test {
protected:
    PrefSheetTest() : m_store(m_folder.File("prefs.INI")), m_scoped(m_dialogs) {
        m_columns.widths = addresslist::kDefaultColumnWidths;
        m_columns.defaultWidths = addresslist::kDefaultColumnWidths;
        m_columns.format.parseOrder = addresslist::ParseColumnOrder;
        m_columns.format.format = [](const ColumnArray& v) {
            return addresslist::FormatColumnValues(v);
        };
        m_columns.applyWidths = [this](const ColumnArray& w) { m_applied = w; };
    }

    // Runs the Preferences command; `drive` works the shown sheet, then the
    // sheet closes with OK (or Cancel) unless `drive` closed it.
    bool Run(const std::function<void(CPrefPage&)>& drive, bool ok = true) {
        return RunPreferences(nullptr, m_store, m_columns, [&](CPrefPage& sheet) {
            sheet.show();
            drive(sheet);
            if (sheet.isVisible()) {
                Press(sheet, ok);
            }
            if (sheet.isVisible()) {
                m_bStayedOpen = true;
                Press(sheet, false);
            }
            return sheet.result();
        });
    }
    static void Press(CPrefPage& sheet, bool ok) {
        sheet.Buttons()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    }
    static QLineEdit* Edit(CPrefPage& sheet, const QString& name) {
        return sheet.findChild<QLineEdit*>(name);
    }
    std::string Get(const char* section, const char* key) {
        return m_store.GetString(section, key, "<absent>");
    }
    // The keys of [Preferences] in file order.
    std::vector<std::string> PreferenceKeys() {
        std::ifstream in(m_store.Path());
        std::vector<std::string> keys;
        std::string line;
        bool inside = false;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (!line.empty() && line[0] == '[') {
                inside = line == "[Preferences]";
            } else if (inside && line.find('=') != std::string::npos) {
                keys.push_back(line.substr(0, line.find('=')));
            }
        }
        return keys;
    }

    testsupport::TempFolder m_folder;
    settings::SettingsStore m_store;
    platform::TestDialogs m_dialogs;
    platform::ScopedDialogs m_scoped;
    PreferencesColumns m_columns;
    std::optional<ColumnArray> m_applied;
    bool m_bStayedOpen = false;
};

TEST_F(PrefSheetTest, NoSettingsFileShowsTheSheetDefaults) {
    struct Check {
        int id;
        bool checked;
    };
    const Check checks[] = {
        {kIdLastBook, false},       {kIdLastSort, true},        {kIdColumnWidths, true},
        {kIdColumnPositions, true}, {kIdImportSettings, true},  {kIdExportSettings, true},
        {kIdWindowSize, true},      {kIdConfirmDeletes, true},  {kIdShowRecent, true},
        {kIdMinimizeToTray, true},  {kIdStartMinimized, false},
    };
    const std::pair<int, const char*> texts[] = {
        {kIdCity, ""},  {kIdState, ""},      {kIdCountry, ""},
        {kIdZip, ""},   {kIdAreaCode, ""},   {kIdCompany, ""},
        {kIdEmail, ""}, {kIdWeb, "http://"}, {kIdRecentCount, "2"},
    };
    Run(
        [&](CPrefPage& sheet) {
            EXPECT_EQ(sheet.Tabs()->currentIndex(), 0);
            EXPECT_EQ(sheet.Tabs()->count(), 3);
            EXPECT_FALSE(sheet.Buttons()->button(QDialogButtonBox::Apply));
            for (const Check& c : checks) {
                auto* box = sheet.findChild<QCheckBox*>(ControlName(c.id));
                ASSERT_NE(box, nullptr) << c.id;
                EXPECT_EQ(box->isChecked(), c.checked) << c.id;
            }
            for (const auto& [id, text] : texts) {
                QLineEdit* edit = Edit(sheet, ControlName(id));
                ASSERT_NE(edit, nullptr) << id;
                EXPECT_EQ(edit->text().toStdString(), text) << id;
            }
        },
        false);
    EXPECT_FALSE(std::ifstream(m_store.Path()).good()) << "Cancel wrote a settings file";
}

TEST_F(PrefSheetTest, OpensWithTheKeyboardInTheFirstControl) {
    Run([](CPrefPage& sheet) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(sheet.Tabs()->widget(0)->isAncestorOf(focus))
            << focus->metaObject()->className();
    });
}

TEST_F(PrefSheetTest, OkWithNoSettingsFileWritesEveryKeyInOrder) {
    ASSERT_TRUE(Run([](CPrefPage&) {}));
    const std::vector<std::string> expected = {
        "UseLastBook",   "RememberSort", "RememberCol",    "RememberPos",    "RememberExp",
        "RememberImp",   "RememberWin",  "RememberTray",   "StartMinimized", "UseMRU",
        "NumMRU",        "DefaultCity",  "DefaultCountry", "DefaultComp",    "DefaultEmail",
        "DefaultPrefix", "DefaultState", "DefaultWeb",     "DefaultZip",     "ConfirmDelete"};
    EXPECT_EQ(PreferenceKeys(), expected);
    // What the sheet showed is what start-up used: the last book stays
    // closed at the next start.
    EXPECT_EQ(Get("Preferences", "UseLastBook"), "0");
    EXPECT_EQ(Get("Preferences", "StartMinimized"), "0");
    EXPECT_EQ(Get("Preferences", "NumMRU"), "2");
    EXPECT_EQ(Get("Preferences", "DefaultWeb"), "http://");
    EXPECT_EQ(Get("Preferences", "DefaultCity"), "");
    // "Column Widths" was checked: the unchanged widths went to the list.
    ASSERT_TRUE(m_applied.has_value());
    EXPECT_EQ(*m_applied, addresslist::kDefaultColumnWidths);
    // The order page was never opened: no order is written.
    EXPECT_EQ(Get("Columns", "Order"), "<absent>");
}

TEST_F(PrefSheetTest, StoredValuesAreShownAndWrittenBackAsZeroOrOne) {
    m_store.SetInt("Preferences", "RememberSort", 0);
    m_store.SetInt("Preferences", "StartMinimized", 7);  // any non-zero is on
    m_store.SetInt("Preferences", "NumMRU", 5);
    m_store.SetString("Preferences", "DefaultCity", "Zürich");
    m_store.SetString("Preferences", "DefaultWeb", "");
    Run([](CPrefPage& sheet) {
        EXPECT_FALSE(sheet.SetPage().Check(kIdLastSort)->isChecked());
        EXPECT_TRUE(sheet.SetPage().Check(kIdStartMinimized)->isChecked());
        EXPECT_EQ(sheet.SetPage().Text(kIdCity)->text(), QString::fromUtf8("Zürich"));
        sheet.SetPage().Text(kIdState)->setText("NY");
    });
    EXPECT_EQ(Get("Preferences", "RememberSort"), "0");
    EXPECT_EQ(Get("Preferences", "StartMinimized"), "1");
    EXPECT_EQ(Get("Preferences", "NumMRU"), "5");
    EXPECT_EQ(Get("Preferences", "DefaultCity"), "Zürich");
    EXPECT_EQ(Get("Preferences", "DefaultState"), "NY");
    EXPECT_EQ(Get("Preferences", "DefaultWeb"), "");
}

TEST_F(PrefSheetTest, BookCountIsCheckedOnOk) {
    struct Case {
        const char* typed;
        const char* message;  // nullptr: accepted
        const char* stored;
    };
    const Case cases[] = {
        {"9", kRangeMessage, nullptr},
        {"0", kRangeMessage, nullptr},
        {"two", kIntegerMessage, nullptr},
        {"8", nullptr, "8"},
        {" 1 ", nullptr, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        m_dialogs.Clear();
        m_bStayedOpen = false;
        bool focused = false;
        std::size_t messages = 0;
        const bool accepted = Run([&](CPrefPage& sheet) {
            QLineEdit* count = Edit(sheet, ControlName(kIdRecentCount));
            count->setText(c.typed);
            Press(sheet, true);
            // The box (or the arrows it belongs to) has the focus again.
            QWidget* focus = sheet.focusWidget();
            focused =
                sheet.isVisible() && (focus == count || focus == sheet.SetPage().RecentSpin());
            messages = m_dialogs.Messages().size();
        });
        if (c.message == nullptr) {
            EXPECT_TRUE(accepted);
            EXPECT_TRUE(m_dialogs.Messages().empty());
            EXPECT_EQ(Get("Preferences", "NumMRU"), c.stored);
        } else {
            EXPECT_FALSE(accepted);
            EXPECT_TRUE(m_bStayedOpen);
            EXPECT_TRUE(focused);
            ASSERT_EQ(messages, 1u);
            EXPECT_EQ(m_dialogs.LastMessage().toStdString(), c.message);
            EXPECT_EQ(m_dialogs.Messages()[0].icon, platform::MessageIcon::kWarning);
        }
    }
    EXPECT_EQ(Get("Preferences", "NumMRU"), "1");
}

TEST_F(PrefSheetTest, AnUnacceptableCountKeepsTheFirstPageOnShow) {
    Run(
        [&](CPrefPage& sheet) {
            Edit(sheet, ControlName(kIdRecentCount))->setText("12");
            sheet.Tabs()->setCurrentIndex(1);
            EXPECT_EQ(sheet.Tabs()->currentIndex(), 0);
            EXPECT_EQ(m_dialogs.LastMessage().toStdString(), kRangeMessage);
            Edit(sheet, ControlName(kIdRecentCount))->setText("3");
            sheet.Tabs()->setCurrentIndex(1);
            EXPECT_EQ(sheet.Tabs()->currentIndex(), 1);
        },
        false);
}

TEST_F(PrefSheetTest, ColumnWidthsGoToTheListOnlyWithColumnWidthsChecked) {
    struct Case {
        const char* name;
        int column;  // as captioned, 1..32
        const char* typed;
        bool rememberCol;
        std::optional<int> applied;  // the width handed over, if any
        const char* message;
    };
    const Case cases[] = {
        {"zero hides", 3, "0", true, 0, nullptr},
        {"beyond the arrows", 3, "500", true, 500, nullptr},
        {"negative", 32, "-20", true, -20, nullptr},
        {"unchecked drops", 3, "0", false, std::nullopt, nullptr},
        {"not a number", 5, "wide", true, std::nullopt, kIntegerMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_applied.reset();
        m_dialogs.Clear();
        Run([&](CPrefPage& sheet) {
            sheet.SetPage().Check(kIdColumnWidths)->setChecked(c.rememberCol);
            sheet.Tabs()->setCurrentIndex(1);
            sheet.ColPage().Box(c.column - 1)->Edit()->setText(c.typed);
        });
        ASSERT_EQ(m_applied.has_value(), c.applied.has_value());
        if (c.applied) {
            ColumnArray expected = addresslist::kDefaultColumnWidths;
            expected[static_cast<std::size_t>(c.column - 1)] = *c.applied;
            EXPECT_EQ(*m_applied, expected);
        }
        EXPECT_EQ(m_dialogs.LastMessage().toStdString(), c.message ? c.message : "");
        EXPECT_EQ(Get("Preferences", "RememberCol"),
                  c.message ? "<absent>" : (c.rememberCol ? "1" : "0"));
        std::remove(m_store.Path().c_str());
    }
}

TEST_F(PrefSheetTest, ArrowsStepWithinTheirRange) {
    struct Case {
        const char* start;
        int steps;
        const char* result;
    };
    CSpinEdit width;
    width.SetRange(kColumnWidthMin, kColumnWidthMax);
    const Case cases[] = {
        {"500", 1, "300"}, {"500", -1, "299"}, {"0", -1, "0"},
        {"120", 1, "121"}, {"abc", 1, "1"},    {"-40", 1, "1"},
    };
    for (const Case& c : cases) {
        width.Edit()->setText(c.start);
        width.stepBy(c.steps);
        EXPECT_EQ(width.Edit()->text().toStdString(), c.result) << c.start << " " << c.steps;
    }
}

// The boxes, not the widths the sheet was opened with, are what OK hands over.
TEST_F(PrefSheetTest, ResetRestoresTheBuiltInWidths) {
    m_columns.widths.fill(33);
    Run([](CPrefPage& sheet) {
        sheet.Tabs()->setCurrentIndex(1);
        sheet.findChild<QPushButton*>(ControlName(kIdWidthsReset))->click();
    });
    EXPECT_EQ(m_applied, addresslist::kDefaultColumnWidths);
}

// ---- The column order page ----

struct OrderCase {
    const char* name;
    const char* storedOrder;  // nullptr: none
    const char* rememberPos;  // nullptr: absent
    bool openPage;
    std::vector<const char*> steps;  // "up", "down", "reset", "select:N"
    bool ok;
    const char* firstLines;  // the list's first three lines after the steps
    const char* written;     // [Columns] "Order" afterwards
};

std::string AfterCity() {
    return "6,0,1,2,3,4,5" + Identity().substr(std::string("0,1,2,3,4,5,6").size());
}

TEST_F(PrefSheetTest, OrderPageMovesAndStoresTheOrder) {
    const std::string identity = Identity();
    const std::string cityFirst = AfterCity();
    const std::string swappedOrder = "1,0" + identity.substr(3);
    const std::string outOfRange = "40" + identity.substr(1);
    const char* id = identity.c_str();
    const char* city = cityFirst.c_str();
    const char* swapped = swappedOrder.c_str();
    const char* none = "<absent>";
    const char* top = "Last Name|First Name|M.I.";
    const char* cityTop = "City|Last Name|First Name";
    const char* firstTop = "First Name|Last Name|M.I.";
    const std::vector<const char*> cityUp = {"select:6", "up", "up", "up", "up", "up", "up"};
    const OrderCase cases[] = {
        {"city to the top, cancel", nullptr, nullptr, true, cityUp, false, cityTop, city},
        {"city to the top, ok", nullptr, "1", true, cityUp, true, cityTop, city},
        {"up on the first line", nullptr, nullptr, true, {"up"}, false, top, id},
        {"down on the last line", nullptr, nullptr, true, {"select:31", "down"}, false, top, id},
        {"down once", nullptr, nullptr, true, {"down"}, false, firstTop, swapped},
        {"stored order shown", city, nullptr, true, {}, false, cityTop, city},
        {"reset", city, nullptr, true, {"reset"}, false, top, id},
        {"field out of range", outOfRange.c_str(), nullptr, true, {}, false, top, id},
        {"short string read as identity", "6,0,1", nullptr, true, {}, false, top, id},
        {"RememberPos off", nullptr, "0", true, {"down"}, false, firstTop, none},
        {"page never opened", nullptr, nullptr, false, {}, true, "", none},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(m_store.Path().c_str());
        if (c.storedOrder != nullptr) {
            m_store.SetString("Columns", "Order", c.storedOrder);
        }
        if (c.rememberPos != nullptr) {
            m_store.SetString("Preferences", "RememberPos", c.rememberPos);
        }
        const std::string before = Get("Columns", "Order");
        std::string lines;
        Run(
            [&](CPrefPage& sheet) {
                if (!c.openPage) {
                    return;
                }
                sheet.Tabs()->setCurrentIndex(2);
                COrdPage& page = sheet.OrdPage();
                EXPECT_EQ(page.List()->count(), kColumnCount);
                EXPECT_EQ(page.List()->currentRow(), 0);
                for (std::string step : c.steps) {
                    if (step == "up") {
                        sheet.findChild<QPushButton*>(ControlName(kIdMoveUp))->click();
                    } else if (step == "down") {
                        sheet.findChild<QPushButton*>(ControlName(kIdMoveDown))->click();
                    } else if (step == "reset") {
                        sheet.findChild<QPushButton*>(ControlName(kIdOrderReset))->click();
                    } else {
                        page.List()->setCurrentRow(std::stoi(step.substr(7)));
                    }
                }
                for (int i = 0; i < 3; ++i) {
                    lines += (i ? "|" : "") + page.List()->item(i)->text().toStdString();
                }
                // Whatever moved stays selected.
                EXPECT_TRUE(page.List()->currentItem()->isSelected());
            },
            c.ok);
        EXPECT_EQ(lines, c.firstLines);
        if (std::string(c.written) == "<absent>") {
            EXPECT_EQ(Get("Columns", "Order"), before);
        } else {
            EXPECT_EQ(Get("Columns", "Order"), c.written);
        }
    }
}

TEST_F(PrefSheetTest, OrderIsWrittenBeforeTheListRebuilds) {
    // The list rebuilds from the stored order when it gets the widths, so the
    // page must have stored it by then.
    std::string orderSeenByList;
    m_columns.applyWidths = [&](const ColumnArray&) { orderSeenByList = Get("Columns", "Order"); };
    Run([](CPrefPage& sheet) {
        sheet.Tabs()->setCurrentIndex(2);
        sheet.OrdPage().List()->setCurrentRow(6);
        for (int i = 0; i < 6; ++i) {
            sheet.OrdPage().OnMoveUp();
        }
    });
    EXPECT_EQ(orderSeenByList, AfterCity());
}

TEST_F(PrefSheetTest, OrderUsesTheFirstLineOfEachLabel) {
    // A stored order that shows a field twice: the second line of that label
    // keeps its own number.
    std::string twice = "0,0" + Identity().substr(3);
    m_store.SetString("Columns", "Order", twice);
    Run([](CPrefPage& sheet) { sheet.Tabs()->setCurrentIndex(2); }, false);
    EXPECT_EQ(Get("Columns", "Order"), Identity());
}

}  // namespace
}  // namespace preferences
