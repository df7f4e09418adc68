// vCard import and export through the window's commands: the file dialogs,
// the report, the undo history, the version dialog and the UIDs the export
// keeps in the entries.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <filesystem>
#include <fstream>
#include <set>

#include "addressbook/entry_identity.h"
#include "addressbook/field_table.h"
#include "addressbook/vcard_import.h"
#include "addressbook/vcard_reader.h"
#include "entries/entry_undo.h"
#include "entries/prop_info.h"
#include "entries/vcard_commands.h"
#include "entries/vcard_export_dlg.h"
#include "entries/vcard_import_dlg.h"
#include "entries_test_support.h"
#include "fileio/atomic_file.h"
#include "platform/app_services.h"
#include "platform/control_name.h"
#include "resources/string_table.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::CountOf;
using testing::EntriesTest;
using testing::VCardDataFile;
using testsupport::ReadText;
using testsupport::WriteText;

class VCardTest : public EntriesTest {
protected:
    ~VCardTest() override {
        vcard::CVCardReader::SetBlockSizeForTesting(0);
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    }

    QUndoStack& Stack() { return Controller().Undo().Stack(); }

    // Every entry of the list, extra data included.
    std::vector<CAddressEntry> Entries() {
        std::vector<CAddressEntry> entries;
        for (int row = 0; row < List().RowCount(); ++row) {
            entries.push_back(List().EntryAt(row));
        }
        return entries;
    }
    std::string Uid(int row) {
        const std::optional<std::string_view> uid = EntryUid(List().EntryAt(row));
        return uid ? std::string(*uid) : std::string();
    }
    // Answers "Export vCard" with `version`.
    void ChooseVersion(vcard::Version version, bool* shown40 = nullptr) {
        m_script.Accept<CVCardExportDlg>([=](CVCardExportDlg& dialog) {
            if (shown40 != nullptr) {
                *shown40 = dialog.Version40()->isChecked();
            }
            (version == vcard::Version::V40 ? dialog.Version40() : dialog.Version30())
                ->setChecked(true);
        });
    }
};

TEST(VCardCommands, VCardFileNames) {
    struct Case {
        const char* path;
        bool vcard;
    };
    for (const Case& c : {Case{"/a/b.vcf", true}, Case{"B.VCF", true}, Case{"x.vCard", true},
                          Case{"book.qxd", false}, Case{"vcf", false}, Case{"a.vcf.txt", false},
                          Case{"/dir.vcf/book.QXD", false}}) {
        EXPECT_EQ(IsVCardFileName(QString::fromUtf8(c.path)), c.vcard) << c.path;
    }
}

// Every sample file: the window adds exactly the entries the library reads,
// extra data included, and shows the tool's report.
TEST_F(VCardTest, ImportEverySampleFile) {
    for (const auto& item : std::filesystem::directory_iterator(VCardDataFile(""))) {
        if (item.path().extension() != ".vcf") {
            continue;
        }
        const std::string name = item.path().filename().string();
        SCOPED_TRACE(name);
        std::ifstream expectedFile(VCardDataFile(item.path().stem().string() + ".import.txt"));
        std::string exitLine;
        std::string report;
        std::getline(expectedFile, exitLine);
        std::getline(expectedFile, report);

        StagedEntries staged;
        VCardImportReport libraryReport;
        ASSERT_GE(ImportVCardEntries(item.path().string(), staged, libraryReport), 0);

        m_messages.Clear();
        m_document.SetModifiedFlag(false);
        Stack().clear();
        const int before = List().RowCount();
        const bool added =
            Controller().VCardImport().ImportVCard(QString::fromStdString(item.path().string()));
        EXPECT_EQ(added, exitLine == "exit 0");
        ASSERT_EQ(m_messages.Messages().size(), 1u);
        EXPECT_EQ(m_messages.LastMessage().toStdString(), report);
        EXPECT_EQ(m_messages.Messages()[0].icon,
                  added ? platform::MessageIcon::kInformation : platform::MessageIcon::kWarning);
        EXPECT_EQ(m_document.IsModified(), added);
        EXPECT_EQ(Stack().count(), added ? 1 : 0);
        ASSERT_EQ(List().RowCount(), before + static_cast<int>(staged.entries.size()));
        for (std::size_t i = 0; i < staged.entries.size(); ++i) {
            EXPECT_TRUE(List().EntryAt(before + static_cast<int>(i)) == *staged.entries[i]) << i;
        }
    }
}

TEST_F(VCardTest, ImportIsOneUndoStepAndRedoRestoresTheExtraData) {
    AddTexts(LastName, {"Existing"});
    m_document.SetModifiedFlag(false);
    // Small blocks, so that the status bar shows the read progressing.
    vcard::CVCardReader::SetBlockSizeForTesting(256);
    m_messages.QueueFileName(QString::fromStdString(VCardDataFile("apple-3.0.vcf")));
    m_script.Accept<CVCardImportDlg>(
        [](CVCardImportDlg& dialog) { EXPECT_FALSE(dialog.SkipExisting()->isChecked()); });
    Controller().VCardImport().OnFileImportVCard();

    ASSERT_EQ(m_messages.FileQuestions().size(), 1u);
    const platform::FileDialogRequest& asked = m_messages.FileQuestions()[0].request;
    EXPECT_FALSE(m_messages.FileQuestions()[0].save);
    EXPECT_EQ(asked.filter, "vCard Files (*.vcf *.vcard)|*.vcf;*.vcard|All Files (*.*)|*.*||");
    EXPECT_TRUE(asked.mustExist);
    EXPECT_EQ(platform::ConvertFileFilter(asked.filter).front(),
              "vCard Files (*.vcf *.VCF *.vcard *.VCARD)");

    ASSERT_EQ(List().RowCount(), 3);
    EXPECT_EQ(List().EntryAt(1).GetField(LastName), "Appleseed");
    EXPECT_EQ(Uid(1), "6B29A3C4-5C7E-4D4F-9B8A-3E2F1D0C9B8A");
    EXPECT_FALSE(List().EntryAt(1).Extra().Empty());
    EXPECT_EQ(m_messages.LastMessage(),
              "2 addresses imported. Kept as extra data: BDAY 1, CATEGORIES 1, PHOTO 1, "
              "X-ABSHOWAS 1, X-SOCIALPROFILE 1.");
    EXPECT_TRUE(m_document.IsModified());
    EXPECT_EQ(m_status.front(), resources::kStrImporting);
    EXPECT_EQ(m_status.back(), resources::kStrIdleMessage);
    ASSERT_GE(m_progress.size(), 3u);
    for (std::size_t i = 1; i < m_progress.size(); ++i) {
        EXPECT_EQ(m_progress[i].first, resources::kStrImporting);
        EXPECT_GT(m_progress[i].second, m_progress[i - 1].second);
    }
    EXPECT_EQ(m_progress.back().second, 100);

    const std::vector<CAddressEntry> imported = Entries();
    EXPECT_EQ(Stack().count(), 1);
    EXPECT_EQ(Stack().undoText(), "Import vCard");
    Stack().undo();
    EXPECT_EQ(List().RowCount(), 1);
    EXPECT_FALSE(m_document.IsModified());
    Stack().redo();
    EXPECT_TRUE(Entries() == imported);
    EXPECT_TRUE(m_document.IsModified());
}

TEST_F(VCardTest, ImportOfAFileThatCannotBeRead) {
    struct Case {
        const char* name;
        std::string path;
        const char* message;
    };
    std::filesystem::create_directory(File("folder.vcf"));
    const Case cases[] = {
        // As by the delimited import: a file that does not open is not named.
        {"missing", File("missing.vcf"), "an unnamed file was not found."},
        // A folder opens but cannot be read: named.
        {"folder", File("folder.vcf"), "folder.vcf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.Clear();
        EXPECT_FALSE(Controller().VCardImport().ImportVCard(QString::fromStdString(c.path)));
        ASSERT_EQ(m_messages.Messages().size(), 1u);
        EXPECT_TRUE(m_messages.LastMessage().contains(c.message))
            << m_messages.LastMessage().toStdString();
        EXPECT_EQ(m_messages.Messages()[0].icon, platform::MessageIcon::kError);
        EXPECT_EQ(List().RowCount(), 0);
        EXPECT_FALSE(m_document.IsModified());
        EXPECT_FALSE(Stack().canUndo());
    }
}

TEST_F(VCardTest, ExportStoresTheUidsOnceAndGivesTheSameAgain) {
    AddRows({{{LastName, "Smith"}}, {{LastName, "Smith"}}, {{LastName, "Lee"}}});
    SetEntryUid(List().MutableEntryAt(2), "urn:uuid:own");
    m_document.SetModifiedFlag(false);
    const std::vector<std::string> expected = ExportUids(List());

    m_messages.QueueFileName(Path("out"));
    bool shown40 = true;
    ChooseVersion(vcard::Version::V30, &shown40);
    Controller().VCardExport().OnFileExportVCard();

    ASSERT_EQ(m_messages.FileQuestions().size(), 1u);
    const platform::FileDialogRequest& asked = m_messages.FileQuestions()[0].request;
    EXPECT_TRUE(m_messages.FileQuestions()[0].save);
    EXPECT_EQ(asked.defaultExtension, "vcf");
    EXPECT_TRUE(asked.promptOverwrite);
    EXPECT_EQ(asked.filter, QString::fromLatin1(kVCardFilter));
    EXPECT_FALSE(shown40);  // 3.0 unless chosen before

    const std::string first = ReadText(File("out.vcf"));
    EXPECT_EQ(CountOf(first, "BEGIN:VCARD\r\n"), 3);
    EXPECT_EQ(CountOf(first, "VERSION:3.0\r\n"), 3);
    EXPECT_EQ(m_messages.LastMessage(), "3 addresses exported.");
    EXPECT_EQ(m_status, (std::vector<int>{resources::kStrExporting, resources::kStrIdleMessage}));
    // Identical entries get different UIDs; each entry keeps the one its card
    // carries; storing them is no step of the history but marks the book.
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Uid(row), expected[static_cast<std::size_t>(row)]);
        EXPECT_EQ(CountOf(first, "UID:" + Uid(row) + "\r\n"), 1) << row;
    }
    EXPECT_NE(Uid(0), Uid(1));
    EXPECT_EQ(Uid(2), "urn:uuid:own");
    EXPECT_TRUE(m_document.IsModified());
    EXPECT_FALSE(Stack().canUndo());

    // Saved; a second export stores nothing and writes the same file.
    m_document.SetModifiedFlag(false);
    ChooseVersion(vcard::Version::V30);
    ASSERT_TRUE(Controller().VCardExport().ExportVCard(Path("again.vcf")));
    EXPECT_EQ(ReadText(File("again.vcf")), first);
    EXPECT_FALSE(m_document.IsModified());
}

// A UID, once kept, stays with its entry through undo and redo of edits
// made before the export, and the book stays modified until saved.
TEST_F(VCardTest, StoredUidsSurviveUndoAndRedo) {
    AddTexts(LastName, {"Smith"});
    m_document.SetModifiedFlag(false);
    List().SelectRow(0);
    m_script.Accept<CPropInfo>([](CPropInfo& sheet) {
        platform::FindControl<QLineEdit>(sheet, kIdLastName)->setText("Jones");
    });
    Controller().EntryCommands().OnEdit();
    ChooseVersion(vcard::Version::V30);
    ASSERT_TRUE(Controller().VCardExport().ExportVCard(Path("out.vcf")));
    const std::string uid = Uid(0);
    ASSERT_FALSE(uid.empty());

    Stack().undo();
    EXPECT_EQ(List().EntryAt(0).GetField(LastName), "Smith");
    EXPECT_EQ(Uid(0), uid);
    EXPECT_TRUE(m_document.IsModified());
    Stack().redo();
    EXPECT_EQ(List().EntryAt(0).GetField(LastName), "Jones");
    EXPECT_EQ(Uid(0), uid);
}

TEST_F(VCardTest, ExportVersionIsAskedAndRemembered) {
    AddTexts(LastName, {"Smith"});
    ChooseVersion(vcard::Version::V40);
    ASSERT_TRUE(Controller().VCardExport().ExportVCard(Path("four.vcf")));
    EXPECT_EQ(CountOf(ReadText(File("four.vcf")), "VERSION:4.0\r\n"), 1);
    EXPECT_EQ(m_store.GetString("Export", "VCardVersion", ""), "4.0");

    bool shown40 = false;
    ChooseVersion(vcard::Version::V30, &shown40);
    ASSERT_TRUE(Controller().VCardExport().ExportVCard(Path("three.vcf")));
    EXPECT_TRUE(shown40);
    EXPECT_EQ(CountOf(ReadText(File("three.vcf")), "VERSION:3.0\r\n"), 1);

    // Not remembered: 3.0 is offered, and the choice is not written.
    Write(settings::kRememberExp, 0);
    m_store.SetString("Export", "VCardVersion", "4.0");
    ChooseVersion(vcard::Version::V40, &shown40);
    ASSERT_TRUE(Controller().VCardExport().ExportVCard(Path("again.vcf")));
    EXPECT_FALSE(shown40);
    EXPECT_EQ(CountOf(ReadText(File("again.vcf")), "VERSION:4.0\r\n"), 1);
}

TEST_F(VCardTest, CancelledOrFailedExportKeepsTheFileAndStoresNothing) {
    AddTexts(LastName, {"Smith"});
    m_document.SetModifiedFlag(false);
    WriteText(File("keep.vcf"), "old contents\n");

    m_script.Cancel<CVCardExportDlg>();
    EXPECT_FALSE(Controller().VCardExport().ExportVCard(Path("keep.vcf")));
    EXPECT_TRUE(m_messages.Messages().empty());

    // A full disk part-way.
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(10);
    ChooseVersion(vcard::Version::V30);
    EXPECT_FALSE(Controller().VCardExport().ExportVCard(Path("keep.vcf")));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].icon, platform::MessageIcon::kError);

    EXPECT_EQ(ReadText(File("keep.vcf")), "old contents\n");
    EXPECT_EQ(m_folder.Names(), (std::set<std::string>{"keep.vcf", "test.INI"}));
    EXPECT_TRUE(Uid(0).empty());
    EXPECT_FALSE(m_document.IsModified());
}

// Some rows only (the seam for exporting or copying a selection): their
// cards carry the UIDs an export of every row gives them.
TEST_F(VCardTest, ExportOfSomeRows) {
    AddRows({{{LastName, "Smith"}}, {{LastName, "Smith"}}, {{LastName, "Lee"}}});
    const std::vector<std::string> all = ExportUids(List());
    const std::vector<int> rows{2, 1};
    EXPECT_EQ(ExportUidsOf(List(), rows), (std::vector<std::string>{all[2], all[1]}));

    fileio::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(File("some.vcf")));
    ASSERT_TRUE(Controller().VCardExport().ExportRows(writer, vcard::Version::V30, rows));
    const std::string text = ReadText(File("some.vcf"));
    EXPECT_EQ(CountOf(text, "BEGIN:VCARD"), 2);
    EXPECT_LT(text.find("N:Lee"), text.find("N:Smith"));
    EXPECT_EQ(m_messages.LastMessage(), "2 addresses exported.");
    EXPECT_TRUE(Uid(0).empty());
    EXPECT_EQ(Uid(1), all[1]);
    EXPECT_EQ(Uid(2), all[2]);
}

}  // namespace
}  // namespace entries
