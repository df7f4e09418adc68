// The editor sheet: its pages and boxes, the exchange between an entry and
// the boxes, and the line breaks of the notes.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <set>

#include "addressbook/field_table.h"
#include "entries/empty_dlg.h"
#include "entries/find_dlg.h"
#include "entries/find_history.h"
#include "entries/notes_text.h"
#include "entries/prop_info.h"
#include "entries/select_fields_dlg.h"
#include "entries_test_support.h"
#include "platform/control_name.h"
#include "resources/string_table.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::MakeEntry;

struct NotesCase {
    const char* name;
    std::string stored;
    std::string shown;       // in the box, "\n" for a line break
    std::string storedBack;  // after OK without a change
};

TEST(NotesText, LineBreaksBetweenEntryAndBox) {
    const NotesCase cases[] = {
        {"plain", "no breaks", "no breaks", "no breaks"},
        {"three lines", "one<p>two<p>three", "one\ntwo\nthree", "one<p>two<p>three"},
        {"break at both ends", "<p>x<p>", "\nx\n", "<p>x<p>"},
        {"breaks in a row", "a<p><p>b", "a\n\nb", "a<p><p>b"},
        {"nested looking", "<<p>p>", "<\np>", "<<p>p>"},
        {"real CR LF becomes <p>", "a\r\nb", "a\nb", "a<p>b"},
        {"lone LF kept", "a\nb", "a\u240Ab", "a\nb"},
        {"lone CR kept", "a\rb", "a\u240Db", "a\rb"},
        {"LF CR is two lone breaks", "a\n\rb", "a\u240A\u240Db", "a\n\rb"},
        {"empty", "", "", ""},
        {"unicode", "Grüße<p>日本", "Grüße\n日本", "Grüße<p>日本"},
        {"typed <p> comes back as a break", "x <p> y", "x \n y", "x <p> y"},
    };
    for (const NotesCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NotesToEditor(c.stored), c.shown);
        EXPECT_EQ(NotesFromEditor(c.shown), c.storedBack);
    }
}

// The next widget that the Tab key reaches from `widget`.
QWidget* NextTabStop(QWidget* widget) {
    for (QWidget* next = widget->nextInFocusChain(); next != widget;
         next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) != 0) {
            return next;
        }
    }
    return nullptr;
}

template <class T>
T* Box(const CPropInfo& sheet, int controlId) {
    return platform::FindControl<T>(sheet, controlId);
}

TEST(PropInfo, PagesBoxesAndTabOrder) {
    CPropInfo sheet(resources::kStrEditEntryCaption);
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Edit an Existing Entry"));
    const QStringList captions = {"Addresses", "Business", "Phones", "Online", "Notes"};
    ASSERT_EQ(sheet.Tabs()->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        EXPECT_EQ(sheet.Tabs()->tabText(i), captions[i]);
    }
    EXPECT_EQ(sheet.Buttons()->buttons().size(), 2);  // OK and Cancel, no Apply

    // Every field has exactly one box; each box follows the one before it
    // in the tab order of its page.
    std::set<int> fields;
    for (CPropPage* page : sheet.Pages()) {
        QWidget* previous = nullptr;
        for (const PageBox& box : page->Boxes()) {
            EXPECT_TRUE(fields.insert(box.field).second) << box.controlId;
            QWidget* widget = page->BoxOf(box.field);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->objectName(), platform::ControlName(box.controlId));
            if (previous != nullptr) {
                EXPECT_EQ(NextTabStop(previous), widget) << box.controlId;
            }
            previous = widget;
        }
    }
    EXPECT_EQ(fields.size(), static_cast<std::size_t>(kFieldCount));

    EXPECT_NE(Box<QPlainTextEdit>(sheet, kIdNotes), nullptr);
    EXPECT_EQ(Box<QLineEdit>(sheet, kIdNotes), nullptr);
}

TEST(PropInfo, EntryToBoxesAndBack) {
    CAddressEntry entry = MakeEntry({{FirstName, "Ann"},
                                     {LastName, "Smith"},
                                     {ZipCode, "12345"},
                                     {WorkExt, "12"},
                                     {PagerCard, "77"},
                                     {Web2, "example.org"},
                                     {Notes, "one<p>two"}});
    CPropInfo sheet(resources::kStrEditEntryCaption);
    sheet.LoadFromEntry(entry);
    const std::pair<int, const char*> shown[] = {{kIdFirstName, "Ann"}, {kIdLastName, "Smith"},
                                                 {kIdZipCode, "12345"}, {kIdWorkExt, "12"},
                                                 {kIdPagerCard, "77"},  {kIdWeb2, "example.org"}};
    for (const auto& [id, text] : shown) {
        EXPECT_EQ(Box<QLineEdit>(sheet, id)->text(), text) << id;
    }
    EXPECT_EQ(Box<QPlainTextEdit>(sheet, kIdNotes)->toPlainText(), "one\ntwo");

    Box<QLineEdit>(sheet, kIdCity)->setText("Paris");
    Box<QLineEdit>(sheet, kIdFirstName)->setText("");
    Box<QPlainTextEdit>(sheet, kIdNotes)->setPlainText("one\ntwo\nthree");
    sheet.accept();

    CAddressEntry stored;
    sheet.StoreToEntry(stored);
    CAddressEntry expected = entry;
    expected.SetField(City, "Paris");
    expected.SetField(FirstName, "");
    expected.SetField(Notes, "one<p>two<p>three");
    EXPECT_EQ(stored, expected);
}

TEST(PropInfo, CancelLeavesMembersAndLongOrOddTextsSurvive) {
    const std::string longText(40000, 'x');
    const std::string notUtf8 = "caf\xE9";  // Windows-1252 bytes, not UTF-8
    CAddressEntry entry = MakeEntry({{Address1, longText}, {Title, notUtf8}, {Notes, "a\nb"}});
    CPropInfo sheet(resources::kStrEditEntryCaption);
    sheet.LoadFromEntry(entry);

    // Cancel: the boxes are not read.
    Box<QLineEdit>(sheet, kIdAddress1)->setText("changed");
    sheet.reject();
    CAddressEntry afterCancel;
    sheet.StoreToEntry(afterCancel);
    EXPECT_EQ(afterCancel, entry);

    // OK without touching them: no length limit, odd bytes and the lone
    // line feed kept.
    CPropInfo again(resources::kStrEditEntryCaption);
    again.LoadFromEntry(entry);
    again.accept();
    CAddressEntry afterOk;
    again.StoreToEntry(afterOk);
    EXPECT_EQ(afterOk, entry);
}

}  // namespace
}  // namespace entries

namespace entries {
namespace {

// Enter presses the default button everywhere but in the notes box, where
// it starts a new line.
TEST(DialogKeys, EnterClosesOnlyOutsideTheNotes) {
    struct Case {
        const char* name;
        std::function<QDialog*()> make;
        QString target;  // object name
        bool closes;
    };
    FindHistory history;
    const Case cases[] = {
        {"sheet line box", [] { return new CPropInfo(resources::kStrAddEntryCaption); },
         platform::ControlName(kIdLastName), true},
        {"sheet notes box", [] { return new CPropInfo(resources::kStrAddEntryCaption); },
         platform::ControlName(kIdNotes), false},
        {"find what",
         [&history] {
             auto* find = new CFindDlg;
             find->m_strFindText = "x";
             find->OnInitDialog(&history);
             return find;
         },
         platform::ControlName(kIdFindWhat), true},
        {"select fields box", [] { return new CSelectFieldsDlg; }, "LastName", true},
        {"empty item box", [] { return new CEmptyDlg; }, platform::ControlName(kIdEnteredText),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QDialog> dialog(c.make());
        dialog->show();
        QWidget* target = dialog->findChild<QWidget*>(c.target);
        ASSERT_NE(target, nullptr);
        if (auto* combo = qobject_cast<QComboBox*>(target)) {
            target = combo->lineEdit();
        } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(target)) {
            target = spin->findChild<QLineEdit*>();
        }
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_EQ(dialog->result() == QDialog::Accepted, c.closes);
        EXPECT_EQ(dialog->isVisible(), !c.closes);
        if (auto* notes = qobject_cast<QPlainTextEdit*>(target)) {
            EXPECT_EQ(notes->toPlainText(), "\n");
        }
    }
    EXPECT_EQ(history.Items(), QStringList{"x"});
}

TEST(DialogFocus, EachDialogOpensWithTheKeyboardInItsFirstBox) {
    // Typing right after a dialog opens must reach a box, not the tab bar.
    FindHistory history;
    const struct {
        const char* name;
        std::function<std::unique_ptr<QDialog>()> make;
        const char* typedInto;  // class of the widget that takes the keys
    } cases[] = {
        {"editor sheet", [] { return std::make_unique<CPropInfo>(resources::kStrAddEntryCaption); },
         "QLineEdit"},
        {"find",
         [&history] {
             auto find = std::make_unique<CFindDlg>();
             find->OnInitDialog(&history);
             return find;
         },
         "QComboBox"},
        {"select fields", [] { return std::make_unique<CSelectFieldsDlg>(); }, "QAbstractSpinBox"},
        {"empty item", [] { return std::make_unique<CEmptyDlg>(); }, "QLineEdit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<QDialog> dialog = c.make();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(focus->inherits(c.typedInto) || (focus->parentWidget() != nullptr &&
                                                     focus->parentWidget()->inherits(c.typedInto)))
            << focus->metaObject()->className();
        dialog->reject();
    }
    // In the editor, the first box is First Name, its text selected so that
    // typing replaces it.
    CPropInfo sheet(resources::kStrEditEntryCaption);
    sheet.LoadFromEntry(MakeEntry({{FirstName, "Ann"}, {LastName, "Smith"}}));
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), platform::ControlName(kIdFirstName));
    QTest::keyClicks(QApplication::focusWidget(), "Bea");
    sheet.accept();
    EXPECT_EQ(sheet.Member(FirstName), "Bea");
    EXPECT_EQ(sheet.Member(LastName), "Smith");
}

}  // namespace
}  // namespace entries
