// Find, Find Next and quick find: the search itself, where each starts, the
// find dialog and the history of search texts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>

#include "addressbook/field_table.h"
#include "addressbook/vector_address_list.h"
#include "entries/find_dlg.h"
#include "entries/find_history.h"
#include "entries/find_text.h"
#include "entries_test_support.h"
#include "platform/control_name.h"
#include "resources/command_ids.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::EntriesTest;
using testing::MakeEntry;

// ---- The search ----

TEST(CTextMatcher, CaseFoldingAndCharacterBoundaries) {
    struct Case {
        const char* needle;
        const char* text;
        bool matchCase;
        bool found;
    };
    const Case cases[] = {
        {"SMITH", "Smith", false, true},
        {"SMITH", "smithson", false, true},
        {"SMITH", "Smith", true, false},
        {"SMITH", "smithson", true, false},
        {"mit", "Smith", true, true},
        {"ÄRGER", "kein ärger", false, true},
        {"ärger", "KEIN ÄRGER", false, true},
        {"ÄRGER", "kein ärger", true, false},
        {"ΟΔΥΣΣΕΥΣ", "Οδυσσευς", false, true},  // final sigma folds too
        {"дом", "ДОМ", false, true},
        {"k", "\u212A", false, true},  // Kelvin sign folds to k
        {"é", "cafe", false, false},
        {"", "anything", false, false},
        {"x", "", false, false},
        // Bytes of a character never match on their own.
        {"\xA9", "caf\xC3\xA9", true, false},
        {"\xC3", "caf\xC3\xA9", true, false},
        {"\xA9", "caf\xC3\xA9", false, false},
        // Bytes that are not UTF-8 are compared as they are.
        {"caf\xE9", "CAF\xE9", false, true},
        // ASCII texts, searched without folding a copy.
        {"\u212A", "OK", false, true},
        {"\u017F", "xS", false, true},
        {"@", "`", false, false},
        {"Hij", "abcdefghIJ", false, true},
        {"\u00E4", "abcdefgh\u00C4", false, true},
        {"SMITHS", "smith", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.needle) + " in " + c.text);
        CTextMatcher matcher(c.needle, c.matchCase);
        EXPECT_EQ(matcher.Matches(c.text), c.found);
    }
}

// FindRow reads rows ahead of the one it tests: from every start, both
// ways, it stops at the first row that a plain walk stops at, including the
// first and last rows and lists shorter than its look-ahead.
TEST(FindRow, StopsWhereAPlainWalkStops) {
    for (int rows : {0, 1, 4, 20}) {
        VectorAddressList list;
        for (int row = 0; row < rows; ++row) {
            list.AppendEntry(
                std::make_unique<CAddressEntry>(MakeEntry({{2, row % 7 == 3 ? "Hit" : "miss"}})));
        }
        for (int direction : {1, 0}) {
            for (int start = -1; start <= rows; ++start) {
                int expected = std::max(start, 0);
                while (expected >= 0 && expected < rows && expected % 7 != 3) {
                    expected += direction == 1 ? 1 : -1;
                }
                EXPECT_EQ(FindRow(list, {"hIT", 2, direction, false}, start),
                          expected < rows ? expected : -1)
                    << rows << " rows, from " << start << " direction " << direction;
            }
        }
    }
}

// ---- The history ----

class RecordingMirror final : public IFindHistoryMirror {
public:
    void InsertItem(int index, const QString& text) override {
        items.insert(index, text);
        log << QStringLiteral("+%1 %2").arg(index).arg(text);
    }
    void RemoveItem(int index) override {
        items.removeAt(index);
        log << QStringLiteral("-%1").arg(index);
    }
    void SelectItem(int index) override { log << QStringLiteral("select %1").arg(index); }
    void SetEditText(const QString& text) override { editText = text; }
    QStringList items;
    QStringList log;
    QString editText;
};

TEST(FindHistory, TenNewestFirstWithoutDuplicates) {
    FindHistory history;
    RecordingMirror mirror;
    history.SetMirror(&mirror);
    for (int i = 1; i <= 11; ++i) {
        history.Add(QStringLiteral("s%1").arg(i));
    }
    const QStringList tenNewest = {"s11", "s10", "s9", "s8", "s7", "s6", "s5", "s4", "s3", "s2"};
    EXPECT_EQ(history.Items(), tenNewest);
    EXPECT_EQ(mirror.items, tenNewest);
    EXPECT_EQ(mirror.log.mid(mirror.log.size() - 2), (QStringList{"-9", "+0 s11"}));

    mirror.log.clear();
    history.Add("s5");
    history.Add("");
    history.Add("S5");  // another text: comparison is exact
    EXPECT_EQ(history.Items(),
              (QStringList{"S5", "s5", "s11", "s10", "s9", "s8", "s7", "s6", "s4", "s3"}));
    EXPECT_EQ(mirror.items, history.Items());
    EXPECT_EQ(mirror.log, (QStringList{"-6", "+0 s5", "select 0", "-9", "+0 S5"}));
}

TEST(FindHistory, ComboBoxMirrorsTheItems) {
    QComboBox combo;
    combo.setEditable(true);
    ComboHistoryMirror mirror(&combo);
    FindHistory history;
    history.SetMirror(&mirror);
    for (const char* text : {"a", "b", "c", "a"}) {
        history.Add(text);
    }
    QStringList shown;
    for (int i = 0; i < combo.count(); ++i) {
        shown << combo.itemText(i);
    }
    EXPECT_EQ(shown, history.Items());
    EXPECT_EQ(combo.currentText(), "a");
}

// ---- The commands ----

class FindCommandsTest : public EntriesTest {
protected:
    FindCommandsTest() {
        AddTexts(LastName, {"Smith", "Jones", "smithson", "Smithers"});
        Controller().History().SetMirror(&m_mirror);
    }

    CFindDlg& Dialog() { return Controller().FindDialog(); }

    // Fills the find dialog and presses Find Next.
    void FillFind(const QString& text, int direction, bool startAtTop, bool matchCase = false,
                  int field = LastName) {
        m_script.Then([=](QDialog& dialog) {
            auto& find = dynamic_cast<CFindDlg&>(dialog);
            find.FindWhatBox()->setEditText(text);
            platform::FindControl<QRadioButton>(find, direction == 0 ? kIdFindUp : kIdFindDown)
                ->setChecked(true);
            platform::FindControl<QCheckBox>(find, kIdStartAtTop)->setChecked(startAtTop);
            platform::FindControl<QCheckBox>(find, kIdMatchCase)->setChecked(matchCase);
            platform::FindControl<QComboBox>(find, kIdSearchField)->setCurrentIndex(field);
            find.OnFindNext();
            return find.result();
        });
    }
    // The selected row after the command, or -1 when the message appeared.
    int Outcome() {
        if (m_messages.Messages().empty()) {
            return List().SelectedRow();
        }
        const platform::MessageRequest message = m_messages.Messages().back();
        m_messages.Clear();
        EXPECT_EQ(message.text, "Specified text not found.");
        EXPECT_EQ(message.icon, platform::MessageIcon::kNone);
        EXPECT_EQ(message.buttons, platform::MessageButtons::kOk);
        return -1;
    }

    RecordingMirror m_mirror;
};

TEST_F(FindCommandsTest, StartRows) {
    enum Command { kFind, kFindNext };
    struct Case {
        const char* name;
        Command command;
        int selected;  // -1: none
        int direction;
        bool startAtTop;
        const char* text;
        int expected;  // -1: not found
    };
    const Case cases[] = {
        {"find examines the selected row first", kFind, 2, 1, false, "smith", 2},
        {"find without selection starts at 0", kFind, -1, 1, false, "smith", 0},
        {"find at top ignores the selection", kFind, 3, 1, true, "smith", 0},
        {"find up from the selection", kFind, 1, 0, false, "smith", 0},
        {"find next moves on", kFindNext, 0, 1, false, "smith", 2},
        {"find next from the row before the last", kFindNext, 2, 1, false, "smith", 3},
        {"find next from the last row starts over", kFindNext, 3, 1, false, "smith", 0},
        {"find next without selection", kFindNext, -1, 1, false, "jones", 1},
        {"find next up examines the row after first", kFindNext, 1, 0, false, "smith", 2},
        {"find next up from the last row: row 0", kFindNext, 3, 0, false, "smith", 0},
        {"up at top examines only row 0", kFindNext, 2, 0, true, "jones", -1},
        {"no wrap-around", kFindNext, 2, 1, false, "jones", -1},
        {"capitals without match case", kFind, -1, 1, false, "SMITH", 0},
        {"one hit only", kFind, 3, 1, false, "smithson", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        View().selectionModel()->clear();
        View().setCurrentIndex({});
        if (c.selected >= 0) {
            List().SelectRow(c.selected);
        }
        if (c.command == kFind) {
            FillFind(c.text, c.direction, c.startAtTop);
            Controller().FindCommands().OnFind();
        } else {
            Dialog().m_strFindText = c.text;
            Dialog().m_nDirection = c.direction;
            Dialog().m_nStartAtTop = c.startAtTop ? 1 : 0;
            Dialog().m_nMatchCase = 0;
            Dialog().m_nSearchField = LastName;
            Controller().FindCommands().OnFindNext();
        }
        EXPECT_EQ(Outcome(), c.expected);
    }
}

TEST_F(FindCommandsTest, FindFillsTheHistoryAndTheQuickFindBox) {
    FillFind("smith", 1, false);
    Controller().FindCommands().OnFind();
    EXPECT_EQ(Controller().History().Items(), QStringList{"smith"});
    EXPECT_EQ(m_mirror.editText, "smith");

    // Cancel keeps the earlier settings.
    m_script.Then([](QDialog& dialog) {
        auto& find = dynamic_cast<CFindDlg&>(dialog);
        EXPECT_EQ(find.FindWhatBox()->currentText(), "smith");
        EXPECT_EQ(find.FindWhatBox()->count(), 1);
        find.FindWhatBox()->setEditText("other");
        find.reject();
        return find.result();
    });
    Controller().FindCommands().OnFind();
    EXPECT_EQ(Dialog().m_strFindText, "smith");
}

TEST_F(FindCommandsTest, FindNextWithoutTextOpensTheDialog) {
    m_script.Cancel<CFindDlg>();
    Controller().FindCommands().OnFindNext();
    EXPECT_EQ(m_script.Shown(), 1);
}

TEST_F(FindCommandsTest, FindNextButtonWithAnEmptyBoxOnlyBeeps) {
    m_script.Then([](QDialog& dialog) {
        auto& find = dynamic_cast<CFindDlg&>(dialog);
        find.FindWhatBox()->setEditText("");
        find.OnFindNext();
        EXPECT_EQ(find.result(), QDialog::Rejected);
        find.FindWhatBox()->setEditText("jones");
        find.OnFindNext();
        return find.result();
    });
    Controller().FindCommands().OnFind();
    EXPECT_EQ(Outcome(), 1);
    EXPECT_EQ(Controller().History().Items(), QStringList{"jones"});
}

TEST_F(FindCommandsTest, QuickFindSearchesLikeFindNextAndIsRepeated) {
    List().SelectRow(0);
    Controller().FindCommands().QuickFind("smith");
    EXPECT_EQ(Outcome(), 2);
    EXPECT_EQ(Dialog().m_strFindText, "smith");
    EXPECT_EQ(m_mirror.items, QStringList{"smith"});
    Controller().FindCommands().OnFindNext();
    EXPECT_EQ(Outcome(), 3);

    Dialog().m_nStartAtTop = 1;
    Controller().FindCommands().QuickFind("smith");
    EXPECT_EQ(Outcome(), 0);
    EXPECT_EQ(m_mirror.items, QStringList{"smith"});
}

}  // namespace
}  // namespace entries
