// vCards through the clipboard and drops, the vCard import's "Skip entries
// that are already in the book", and the vCard export of the selection.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "addressbook/entry_identity.h"
#include "addressbook/field_table.h"
#include "entries/entry_undo.h"
#include "entries/vcard_clipboard.h"
#include "entries/vcard_commands.h"
#include "entries/vcard_export_dlg.h"
#include "entries/vcard_import_dlg.h"
#include "entries_test_support.h"
#include "platform/app_services.h"
#include "settings/settings_keys.h"
#include "support/temp_folder.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::CountOf;
using testing::EntriesTest;
using testing::VCardDataFile;

class VCardClipboardTest : public EntriesTest {
protected:
    QUndoStack& Stack() { return Controller().Undo().Stack(); }
    CVCardClipboard& Clipboard() { return Controller().VCardClipboard(); }
    // Imports a sample file into the book, skipping nothing.
    void ImportSample(const std::string& name) {
        ASSERT_TRUE(Controller().VCardImport().ImportVCard(
            QString::fromStdString(VCardDataFile(name)), false));
        m_messages.Clear();
        Stack().clear();
        m_document.SetModifiedFlag(false);
    }
};

TEST(VCardData, WhatCountsAsVCards) {
    const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:A\r\nEND:VCARD\r\n";
    struct Case {
        const char* what;
        const char* type;  // null: plain text
        QByteArray bytes;
        bool cards;
    };
    const Case cases[] = {
        {"text/vcard", "text/vcard", card, true},
        {"text/x-vcard", "text/x-vcard", card, true},
        {"text/directory", "text/directory", card, true},
        {"plain text of a card", nullptr, card, true},
        {"plain text, blanks and lower case", nullptr, "\n  begin:vcard\r\nEND:VCARD", true},
        {"other plain text", nullptr, "Ann Lee, 555 0100", false},
        {"HTML only", "text/html", card, false},
    };
    for (const Case& c : cases) {
        QMimeData data;
        if (c.type != nullptr) {
            data.setData(QString::fromLatin1(c.type), c.bytes);
        } else {
            data.setText(QString::fromUtf8(c.bytes));
        }
        const std::optional<QByteArray> found = VCardDataOf(data);
        EXPECT_EQ(found.has_value(), c.cards) << c.what;
    }
}

// Copy as vCard then Paste brings back the same entries, extra data
// included; the copies carry no UID of their own (one contact, one
// identity), and the paste is one undo step.
TEST_F(VCardClipboardTest, CopyThenPasteGivesEqualEntriesInOneUndoStep) {
    for (const char* name : {"apple-3.0.vcf", "desktop-3.0.vcf", "rfc6350-4.0.vcf"}) {
        SCOPED_TRACE(name);
        Fresh();
        ImportSample(name);
        const int count = List().RowCount();
        ASSERT_GE(count, 2);
        List().SelectRows({count - 1, 0}, 0);
        EXPECT_EQ(Clipboard().RowsToCopy(), (std::vector<int>{0, count - 1}));
        Clipboard().OnCopyAsVCard();

        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        const std::string cards = data->data(QStringLiteral("text/vcard")).toStdString();
        EXPECT_EQ(CountOf(cards, "BEGIN:VCARD"), 2);
        EXPECT_EQ(data->text().toStdString(), cards);
        EXPECT_TRUE(CVCardClipboard::CanPaste());
        // The copied entries keep the UIDs their cards carry.
        for (const int row : {0, count - 1}) {
            const auto uid = EntryUid(List().EntryAt(row));
            ASSERT_TRUE(uid.has_value());
            EXPECT_EQ(CountOf(cards, "UID:" + std::string(*uid)), 1);
        }

        const int steps = Stack().count();
        Clipboard().OnPaste();
        ASSERT_EQ(List().RowCount(), count + 2);
        EXPECT_EQ(Stack().count(), steps + 1);
        EXPECT_EQ(Stack().undoText(), "Paste");
        EXPECT_TRUE(m_messages.LastMessage().startsWith("2 addresses imported."));
        const int rows[] = {0, count - 1};
        for (int i = 0; i < 2; ++i) {
            const CAddressEntry& pasted = List().EntryAt(count + i);
            EXPECT_FALSE(EntryUid(pasted).has_value());
            EXPECT_TRUE(pasted == CopyWithoutIdentity(List().EntryAt(rows[i]))) << i;
        }
        Stack().undo();
        EXPECT_EQ(List().RowCount(), count);
        Stack().redo();
        EXPECT_EQ(List().RowCount(), count + 2);
    }
}

TEST_F(VCardClipboardTest, PasteOfOtherTextAddsNothing) {
    AddTexts(LastName, {"a"});
    QGuiApplication::clipboard()->setText(QStringLiteral("just words"));
    EXPECT_FALSE(CVCardClipboard::CanPaste());
    Clipboard().OnPaste();
    EXPECT_EQ(List().RowCount(), 1);
    EXPECT_EQ(Stack().count(), 0);
    // Cards of another book keep their UIDs.
    QGuiApplication::clipboard()->setMimeData(
        MakeVCardMimeData("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:other-1\r\nN:Lee;Ann;;;\r\nFN:Ann "
                          "Lee\r\nEND:VCARD\r\n"));
    Clipboard().OnPaste();
    ASSERT_EQ(List().RowCount(), 2);
    EXPECT_EQ(EntryUid(List().EntryAt(1)), std::optional<std::string_view>("other-1"));
}

TEST_F(VCardClipboardTest, DroppedDataIsImportedInOneStep) {
    AddRows({{{FirstName, "Ann"}, {LastName, "Lee"}}});
    std::unique_ptr<QMimeData> data(MakeVCardMimeData(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Berg;Bo;;;\r\nFN:Bo Berg\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Cole;Cy;;;\r\nFN:Cy Cole\r\nEND:VCARD\r\n"));
    EXPECT_TRUE(Controller().VCardImport().ImportDroppedData(*data));
    EXPECT_EQ(Column(LastName), (std::vector<std::string>{"Lee", "Berg", "Cole"}));
    EXPECT_EQ(Stack().count(), 1);
    EXPECT_TRUE(m_document.IsModified());
    QMimeData words;
    words.setText(QStringLiteral("no cards here"));
    EXPECT_FALSE(Controller().VCardImport().ImportDroppedData(words));
    EXPECT_EQ(Stack().count(), 1);
}

// The file's two cards imported into a book that holds one of them, with
// and without the option; the option is remembered.
TEST_F(VCardClipboardTest, ImportSkipsEntriesAlreadyInTheBook) {
    ImportSample("apple-3.0.vcf");
    const int count = List().RowCount();
    struct Case {
        bool skip;
        int added;
        std::string report;
    };
    const Case cases[] = {
        {true, 0, "0 addresses imported. 2 already in the book were skipped."},
        {false, count,
         "2 addresses imported. Kept as extra data: BDAY 1, CATEGORIES 1, PHOTO 1, "
         "X-ABSHOWAS 1, X-SOCIALPROFILE 1."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.skip);
        const int before = List().RowCount();
        m_messages.Clear();
        m_messages.QueueFileName(QString::fromStdString(VCardDataFile("apple-3.0.vcf")));
        bool shownTicked = !c.skip;
        m_script.Accept<CVCardImportDlg>([&](CVCardImportDlg& dialog) {
            shownTicked = dialog.SkipExisting()->isChecked();
            dialog.SkipExisting()->setChecked(c.skip);
        });
        Controller().VCardImport().OnFileImportVCard();
        EXPECT_EQ(shownTicked, !c.skip);  // as the previous import left it
        EXPECT_EQ(List().RowCount(), before + c.added);
        EXPECT_EQ(m_messages.LastMessage().toStdString(), c.report);
        EXPECT_EQ(m_messages.Messages()[0].icon, platform::MessageIcon::kInformation);
        EXPECT_EQ(Read(settings::kSkipExisting), c.skip ? 1 : 0);
    }
    EXPECT_EQ(m_script.Left(), 0);
}

TEST_F(VCardClipboardTest, ExportOfTheSelectedEntriesOnly) {
    AddTexts(LastName, {"a", "b", "c", "d"});
    struct Case {
        std::vector<int> select;
        bool tick;
        bool offered;
        int cards;
    };
    const Case cases[] = {
        {{2}, true, false, 4},  // one row: not offered
        {{3, 1}, false, true, 4},
        {{3, 1}, true, true, 2},
    };
    for (const Case& c : cases) {
        List().SelectRows(c.select, c.select.front());
        bool offered = false;
        m_script.Accept<CVCardExportDlg>([&](CVCardExportDlg& dialog) {
            auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("SelectedOnly"));
            offered = box != nullptr && !box->isHidden();
            if (box != nullptr) {
                EXPECT_FALSE(box->isChecked());
                box->setChecked(c.tick);
            }
        });
        const std::string path = File("out.vcf");
        ASSERT_TRUE(Controller().VCardExport().ExportVCard(QString::fromStdString(path)));
        const std::string text = testsupport::ReadText(path);
        EXPECT_EQ(offered, c.offered);
        EXPECT_EQ(CountOf(text, "BEGIN:VCARD"), c.cards);
        if (c.cards == 2) {
            EXPECT_NE(text.find("N:b;"), std::string::npos);
            EXPECT_NE(text.find("N:d;"), std::string::npos);
            EXPECT_EQ(text.find("N:a;"), std::string::npos);
        }
    }
    EXPECT_EQ(m_messages.LastMessage(), "2 addresses exported.");
}

}  // namespace
}  // namespace entries
