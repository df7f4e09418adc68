// Commands on several selected rows: Delete with one question and one undo
// step, export of the selection, and Find Duplicates with its merges.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>

#include "addressbook/field_table.h"
#include "addressbook/vcard_mapping.h"
#include "entries/duplicates_dlg.h"
#include "entries/select_fields_dlg.h"
#include "entries_test_support.h"
#include "platform/command_router.h"
#include "resources/command_ids.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::EntriesTest;
using testing::Fields;
using Texts = std::vector<std::string>;

class BulkTest : public EntriesTest {
protected:
    QUndoStack& Stack() { return Controller().Undo().Stack(); }
    // The selected rows' last names, and the focused row's.
    Texts SelectedTexts() {
        Texts texts;
        for (const int row : List().SelectedRows()) {
            texts.emplace_back(List().EntryAt(row).GetField(LastName));
        }
        return texts;
    }
    std::string FocusedText() {
        const int row = List().FocusedRow();
        return row < 0 ? "" : std::string(List().EntryAt(row).GetField(LastName));
    }
};

TEST_F(BulkTest, DeletingSelectedRowsAsksOnceAndUndoPutsThemBack) {
    struct Case {
        const char* name;
        int rememberSort;
        int confirm;
        platform::MessageAnswer answer;
        std::vector<int> select;
        int focus;
        Texts left;              // after the delete
        std::string focusAfter;  // the row where the first deleted one stood
    };
    const Texts file = {"e", "b", "d", "a", "c"};
    const auto yes = platform::MessageAnswer::kYes;
    const Case cases[] = {
        {"unsorted, asked", 0, 1, yes, {0, 2, 4}, 2, {"b", "a"}, "b"},
        {"unsorted, not asked", 0, 0, yes, {4, 3}, 4, {"e", "b", "d"}, "d"},
        {"sorted", 1, 1, yes, {1, 3}, 1, {"a", "c", "e"}, "c"},
        {"answered No", 0, 1, platform::MessageAnswer::kNo, {0, 1}, 0, file, "e"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fresh();
        Write(settings::kRememberSort, c.rememberSort);
        Write(settings::kConfirmDelete, c.confirm);
        AddTexts(LastName, file);
        List().ResortList();
        const Texts before = Column(LastName);
        List().SelectRows(c.select, c.focus);
        const Texts selected = SelectedTexts();
        const std::string focused = FocusedText();
        m_document.SetModifiedFlag(false);
        m_messages.QueueAnswer(c.answer);

        Controller().EntryCommands().OnDelete();
        if (c.confirm != 0) {
            ASSERT_EQ(m_messages.Messages().size(), 1u);
            EXPECT_EQ(m_messages.LastMessage(),
                      QStringLiteral("Delete the %1 selected entries?").arg(c.select.size()));
            EXPECT_EQ(m_messages.Messages()[0].buttons, platform::MessageButtons::kYesNo);
            EXPECT_EQ(m_messages.Messages()[0].icon, platform::MessageIcon::kNone);
        } else {
            EXPECT_TRUE(m_messages.Messages().empty());
        }
        EXPECT_EQ(Column(LastName), c.left);
        EXPECT_EQ(FocusedText(), c.focusAfter);
        if (c.answer == platform::MessageAnswer::kNo) {
            EXPECT_EQ(Stack().count(), 0);
            EXPECT_FALSE(m_document.IsModified());
            continue;
        }
        EXPECT_EQ(Stack().count(), 1);
        EXPECT_TRUE(m_document.IsModified());

        Stack().undo();
        EXPECT_EQ(Column(LastName), before);
        EXPECT_EQ(SelectedTexts(), selected);
        EXPECT_EQ(FocusedText(), focused);
        EXPECT_FALSE(m_document.IsModified());
        Stack().redo();
        EXPECT_EQ(Column(LastName), c.left);
        Stack().undo();
        EXPECT_EQ(Column(LastName), before);
    }
}

class BulkExportTest : public BulkTest {
protected:
    // Exports Last Name in column 1; `tick` answers "Selected entries
    // only", and `offered` receives whether the box was shown.
    std::string Export(bool tick, bool* offered) {
        m_script.Accept<CSelectFieldsDlg>([=](CSelectFieldsDlg& dialog) {
            *offered = !dialog.SelectedOnlyBox()->isHidden();
            EXPECT_FALSE(dialog.SelectedOnlyBox()->isChecked());
            dialog.SelectedOnlyBox()->setChecked(tick);
            for (int field = 0; field < kFieldCount; ++field) {
                dialog.ColumnBox(field)->SetValue(field == LastName ? 1 : 0);
            }
        });
        const std::string path = m_folder.File("out.csv");
        EXPECT_TRUE(Controller().Export().ExportDelimited(QString::fromStdString(path), ','));
        return testsupport::ReadText(path);
    }
};

TEST_F(BulkExportTest, SelectedEntriesOnly) {
    AddTexts(LastName, {"a", "b", "c", "d"});
    struct Case {
        std::vector<int> select;
        bool tick;
        bool offered;
        std::string file;
    };
    const std::string all = "\"LASTNAME\",\r\n\"a\",\r\n\"b\",\r\n\"c\",\r\n\"d\",\r\n";
    const Case cases[] = {
        {{2}, true, false, all},  // one row: not offered, so the tick counts for nothing
        {{3, 1}, false, true, all},
        {{3, 1}, true, true, "\"LASTNAME\",\r\n\"b\",\r\n\"d\",\r\n"},
    };
    for (const Case& c : cases) {
        List().SelectRows(c.select, c.select.front());
        bool offered = false;
        EXPECT_EQ(Export(c.tick, &offered), c.file);
        EXPECT_EQ(offered, c.offered);
    }
    EXPECT_EQ(m_messages.LastMessage(), "3 addresses exported.");
}

class DuplicatesTest : public BulkTest {
protected:
    DuplicatesTest() {
        AddRows({
            {{LastName, "Smith"}, {FirstName, "John"}, {Email1, "john@x.example"}},
            {{LastName, "Lee"}, {FirstName, "Ann"}},
            {{LastName, "SMITH"}, {FirstName, "JOHN"}, {Email1, "JOHN@X.example"}, {City, "Oslo"}},
            {{LastName, "Doe"}, {FirstName, "Jane"}, {HomePhone, "+1 555 123 4567"}},
            {{LastName, "Doe"}, {FirstName, "J."}, {CellPhone, "555-123-4567"}},
        });
    }
};

// Whether `entry` keeps the vCard property `line` in its extra data.
bool ExtraHolds(const CAddressEntry& entry, std::string_view line) {
    for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
        if (term.Kind() == ExtraKind::Pair && term.Name() == vcard::kPropertyAttribute &&
            term.Value().Text() == line) {
            return true;
        }
    }
    return false;
}

CDuplicatesDlg* AsDuplicatesDlg(QDialog& dialog) {
    auto* typed = qobject_cast<CDuplicatesDlg*>(&dialog);
    EXPECT_NE(typed, nullptr) << dialog.objectName().toStdString();
    return typed;
}

TEST_F(DuplicatesTest, EnabledWithRowsAndSaysWhenThereAreNone) {
    const auto enabled = [this] {
        platform::CommandTarget target;
        Controller().RegisterViewCommands(target);
        platform::CCmdUI probe(resources::kCmdAddressFindDuplicates, nullptr, nullptr, nullptr);
        target.RunUpdate(probe);
        return probe.IsEnabled();
    };
    EXPECT_TRUE(enabled());
    Fresh();
    EXPECT_FALSE(enabled());
    AddRows({{{LastName, "Lee"}, {FirstName, "Ann"}}, {{LastName, "Lee"}, {FirstName, "Bo"}}});
    Controller().DuplicateCommands().OnFindDuplicates();
    EXPECT_EQ(m_script.Shown(), 0);
    EXPECT_EQ(m_messages.LastMessage(), "No duplicate entries were found.");
    EXPECT_EQ(m_messages.Messages().back().icon, platform::MessageIcon::kInformation);
}

TEST_F(DuplicatesTest, MergeOneGroupWithChosenTexts) {
    m_script.Then([](QDialog& shown) {
        CDuplicatesDlg* dialog = AsDuplicatesDlg(shown);
        if (dialog == nullptr) {
            return static_cast<int>(QDialog::Rejected);
        }
        EXPECT_EQ(dialog->GroupCount(), 2);
        EXPECT_EQ(dialog->GroupList()->item(0)->text(),
                  "Smith, John (2 entries; same name, e-mail)");
        EXPECT_EQ(dialog->GroupList()->item(1)->text(), "Doe, Jane (2 entries; same phone)");
        EXPECT_EQ(dialog->CurrentGroup(), 0);
        EXPECT_EQ(dialog->ShownFields(), (std::vector<int>{LastName, FirstName, City, Email1}));
        QComboBox* first = dialog->ChoiceBox(FirstName);
        EXPECT_EQ(first->currentText(), "John");
        first->setCurrentIndex(first->findText("JOHN"));
        QComboBox* city = dialog->ChoiceBox(City);
        EXPECT_EQ(city->currentText(), "Oslo");
        city->setCurrentIndex(city->findText("(none)"));
        EXPECT_EQ(dialog->ChoiceBox(Title), nullptr);  // the same in both
        dialog->OnMerge();
        EXPECT_EQ(dialog->GroupCount(), 1);
        EXPECT_EQ(dialog->CurrentGroup(), 0);
        dialog->reject();
        return static_cast<int>(QDialog::Rejected);
    });
    const Texts before = Column(LastName);
    Controller().DuplicateCommands().OnFindDuplicates();
    EXPECT_EQ(Column(LastName), (Texts{"Smith", "Lee", "Doe", "Doe"}));
    const CAddressEntry& merged = List().EntryAt(0);
    EXPECT_EQ(merged.GetField(FirstName), "JOHN");
    EXPECT_EQ(merged.GetField(Email1), "john@x.example");
    EXPECT_EQ(merged.GetField(City), "");
    // Nothing is lost: the city left out is kept as its card's address.
    EXPECT_EQ(merged.GetField(Notes), "");
    EXPECT_TRUE(ExtraHolds(merged, "ADR;TYPE=HOME:;;;Oslo;;;"));
    EXPECT_EQ(List().SelectedRows(), (std::vector<int>{0}));
    EXPECT_EQ(List().FocusedRow(), 0);
    EXPECT_EQ(Stack().count(), 1);
    EXPECT_TRUE(m_document.IsModified());

    Stack().undo();
    EXPECT_EQ(Column(LastName), before);
    EXPECT_EQ(List().SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(List().EntryAt(2).GetField(City), "Oslo");
    Stack().redo();
    EXPECT_EQ(Column(LastName), (Texts{"Smith", "Lee", "Doe", "Doe"}));
}

TEST_F(DuplicatesTest, MergeAllIsOneStep) {
    Write(settings::kRememberSort, 1);
    List().ResortList();
    const Texts before = Column(LastName);
    m_script.Then([](QDialog& shown) {
        CDuplicatesDlg* dialog = AsDuplicatesDlg(shown);
        if (dialog != nullptr) {
            dialog->OnMergeAll();
        }
        return shown.result();
    });
    Controller().DuplicateCommands().OnFindDuplicates();
    EXPECT_EQ(Column(LastName), (Texts{"Doe", "Lee", "Smith"}));
    const CAddressEntry& doe = List().EntryAt(0);
    EXPECT_EQ(doe.GetField(FirstName), "Jane");
    EXPECT_EQ(doe.GetField(HomePhone), "+1 555 123 4567");
    EXPECT_EQ(doe.GetField(CellPhone), "555-123-4567");
    EXPECT_EQ(doe.GetField(Notes), "First Name: J.");
    EXPECT_EQ(List().EntryAt(2).GetField(City), "Oslo");
    EXPECT_EQ(List().SelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(Stack().count(), 1);
    Stack().undo();
    EXPECT_EQ(Column(LastName), before);
    EXPECT_EQ(List().RowCount(), 5);
}

}  // namespace
}  // namespace entries
