// Import and export of delimited text through the commands: the file
// dialogs, the "Select Fields" dialog, the remembered mappings, the
// messages and the files.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <optional>
#include <set>

#include "addressbook/field_table.h"
#include "entries/delimited_commands.h"
#include "entries/select_fields_dlg.h"
#include "entries_test_support.h"
#include "fileio/atomic_file.h"
#include "platform/app_services.h"
#include "resources/string_table.h"

namespace entries {
namespace {

using namespace addressbook;
using testing::EntriesTest;
using testsupport::ReadText;
using testsupport::WriteText;
using Texts = std::vector<std::string>;
using Mapping = std::vector<std::pair<int, int>>;  // field, column

TEST(SelectFieldsDlg, NumberBoxesTakeIntegersOnly) {
    platform::TestDialogs messages;
    platform::ScopedDialogs scoped(messages);
    struct Case {
        const char* typed;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"3", 3},    {" 7 ", 7},  {"-2", -2},    {"+4", 4},   {"250", 250},        {"", {}},
        {"abc", {}}, {"1.5", {}}, {"12abc", {}}, {"- 1", {}}, {"99999999999", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        messages.Clear();
        CSelectFieldsDlg dialog;
        dialog.m_nColumn[Email1] = 9;
        dialog.UpdateControls();
        dialog.ColumnBox(City)->SetText(QString::fromUtf8(c.typed));
        dialog.accept();
        if (c.value) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.m_nColumn[City], *c.value);
            EXPECT_EQ(dialog.m_nColumn[Email1], 9);
            EXPECT_TRUE(messages.Messages().empty());
        } else {
            EXPECT_EQ(dialog.result(), QDialog::Rejected);  // stays open
            EXPECT_EQ(dialog.m_nColumn[City], 0);
            ASSERT_EQ(messages.Messages().size(), 1u);
            EXPECT_EQ(messages.LastMessage(), "Please enter an integer.");
        }
    }
}

TEST(SelectFieldsDlg, UpDownStepsWithinZeroToHundred) {
    struct Case {
        const char* text;
        int steps;
        const char* after;
    };
    for (const Case& c :
         {Case{"0", 1, "1"}, Case{"0", -1, "0"}, Case{"100", 1, "100"}, Case{"150", -1, "99"},
          Case{"abc", 1, "1"}, Case{"-5", 3, "3"}, Case{"42", 10, "52"}}) {
        CColumnBox box;
        box.SetText(c.text);
        box.stepBy(c.steps);
        EXPECT_EQ(box.Text(), c.after) << c.text << " " << c.steps;
    }
}

TEST(SelectFieldsDlg, ExportRefusesColumnsPastItsLimit) {
    CSelectFieldsDlg dialog;
    platform::TestDialogs messages;
    platform::ScopedDialogs scoped(messages);
    dialog.SetMaxColumn(1000);
    // Every number up to the limit is accepted, 0 and below (no column) too,
    // so the refusal names only the highest.
    dialog.ColumnBox(Email1)->SetText("-5");
    dialog.ColumnBox(Notes)->SetText("1001");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(messages.LastMessage(), "Please enter an integer no greater than 1000.");

    dialog.ColumnBox(Notes)->SetText("1000");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_nColumn[Email1], -5);
    EXPECT_EQ(dialog.m_nColumn[Notes], 1000);
}

TEST(SelectFieldsDlg, ImportAndExportHaveTheirOwnOptions) {
    CSelectFieldsDlg import;
    ASSERT_NE(import.FirstLineNamesBox(), nullptr);
    EXPECT_FALSE(import.FirstLineNamesBox()->isChecked());
    ASSERT_NE(import.MatchColumnsButton(), nullptr);
    EXPECT_FALSE(import.MatchColumnsButton()->isEnabled());  // nothing to match yet
    EXPECT_EQ(import.Rfc4180Box(), nullptr);

    CSelectFieldsDlg exporter(nullptr, CSelectFieldsDlg::Use::kExport);
    ASSERT_NE(exporter.Rfc4180Box(), nullptr);
    EXPECT_EQ(exporter.FirstLineNamesBox(), nullptr);
    EXPECT_EQ(exporter.MatchColumnsButton(), nullptr);

    for (CSelectFieldsDlg* dialog : {&import, &exporter}) {
        ASSERT_NE(dialog->AllFieldsButton(), nullptr);
        dialog->ColumnBox(City)->SetText("abc");
        dialog->AllFieldsButton()->click();
        dialog->accept();
        for (int field = 0; field < kFieldCount; ++field) {
            EXPECT_EQ(dialog->m_nColumn[field], field + 1);
        }
    }
}

TEST(SelectFieldsDlg, MatchColumnsFillsTheNumbersAndTicksTheBox) {
    CSelectFieldsDlg dialog;
    dialog.m_nColumn[Notes] = 7;
    dialog.UpdateControls();
    std::array<int, kFieldCount> matched{};
    matched[LastName] = 2;
    matched[Email1] = 5;
    dialog.SetColumnMatch(matched, "2 of 9 columns matched to fields.");
    ASSERT_TRUE(dialog.MatchColumnsButton()->isEnabled());
    dialog.MatchColumnsButton()->click();
    EXPECT_TRUE(dialog.FirstLineNamesBox()->isChecked());
    EXPECT_EQ(dialog.MatchSummary()->text(), "2 of 9 columns matched to fields.");
    dialog.accept();
    EXPECT_EQ(dialog.m_nColumn, matched);  // Notes 7 is gone too
    EXPECT_TRUE(dialog.m_bFirstLineNames);
}

class DelimitedTest : public EntriesTest {
protected:
    // Answers "Select Fields" with `mapping` (every other box 0).
    void MapColumns(const Mapping& mapping, QString* firstLine = nullptr,
                    std::array<int, kFieldCount>* shown = nullptr) {
        m_script.Accept<CSelectFieldsDlg>([=](CSelectFieldsDlg& dialog) {
            if (firstLine != nullptr) {
                *firstLine = dialog.FirstLineBox()->toPlainText();
            }
            for (int field = 0; field < kFieldCount; ++field) {
                if (shown != nullptr) {
                    (*shown)[field] = dialog.ColumnBox(field)->Text().toInt();
                }
                dialog.ColumnBox(field)->SetValue(0);
            }
            for (const auto& [field, column] : mapping) {
                dialog.ColumnBox(field)->SetValue(column);
            }
        });
    }
};

TEST_F(DelimitedTest, ImportCommaFile) {
    AddTexts(LastName, {"Existing"});
    WriteText(File("in.csv"),
              "Smith,Ann,\"Main St, 1\",ann@example.com\r\n"
              "\r\n"
              "Jones,\"Bob\",,\r\n"
              "\t\t\n"
              "Lee\n");
    m_messages.QueueFileName(Path("in.csv"));
    QString firstLine;
    MapColumns({{LastName, 1}, {FirstName, 2}, {Address1, 3}, {Email1, 4}, {Notes, 1}}, &firstLine);
    Controller().Import().OnFileImportCsv();

    ASSERT_EQ(m_messages.FileQuestions().size(), 1u);
    const platform::FileDialogRequest& asked = m_messages.FileQuestions()[0].request;
    EXPECT_FALSE(m_messages.FileQuestions()[0].save);
    EXPECT_EQ(asked.filter, "CSV Files (*.txt;*.csv)|*.txt; *.csv|All Files (*.*)|*.*||");
    EXPECT_TRUE(asked.mustExist);
    EXPECT_TRUE(asked.defaultExtension.isEmpty());
    EXPECT_EQ(firstLine, "Smith,Ann,\"Main St, 1\",ann@example.com");

    // The empty line gives nothing; the line of tabs gives one empty field,
    // so it yields an entry through column 1.
    EXPECT_EQ(Column(LastName), (Texts{"Existing", "Smith", "Jones", "", "Lee"}));
    EXPECT_EQ(Column(Address1), (Texts{"", "Main St, 1", "", "", ""}));
    EXPECT_EQ(Column(Notes), (Texts{"", "Smith", "Jones", "", "Lee"}));
    EXPECT_EQ(m_messages.LastMessage(), "4 addresses imported.");
    EXPECT_EQ(m_status, std::vector<int>{resources::kStrImporting});  // stays until replaced
    EXPECT_EQ(m_messages.Messages().back().icon, platform::MessageIcon::kInformation);
    EXPECT_TRUE(m_document.IsModified());
    EXPECT_EQ(Read(settings::ImportColumn(Email1)), 4);
    EXPECT_EQ(Read(settings::ImportColumn(City)), 0);
    EXPECT_EQ(m_db.CountClauses(), 0);

    // One undo step takes the whole import back.
    Controller().Undo().Stack().undo();
    EXPECT_EQ(Column(LastName), (Texts{"Existing"}));
    EXPECT_FALSE(m_document.IsModified());
}

TEST_F(DelimitedTest, ImportTabFileWithRememberedMapping) {
    Write(settings::ImportColumn(LastName), 2);
    Write(settings::ImportColumn(Company), 1);
    WriteText(File("in.tdf"), "\"Acme Corp\"\t\"Smith\"\tx\nBig Co\tJones\n");
    m_messages.QueueFileName(Path("in.tdf"));
    std::array<int, kFieldCount> shown{};
    MapColumns({{LastName, 2}, {Company, 1}, {City, 3}}, nullptr, &shown);
    Controller().Import().OnFileImportTdf();

    EXPECT_EQ(m_messages.FileQuestions()[0].request.filter,
              "TDF Files (*.txt;*.tdf)|*.txt; *.tdf|All Files (*.*)|*.*||");
    EXPECT_EQ(shown[LastName], 2);
    EXPECT_EQ(shown[Company], 1);
    // An unquoted field is split at spaces: "Big Co" shifts the columns.
    EXPECT_EQ(Column(Company), (Texts{"Acme Corp", "Big"}));
    EXPECT_EQ(Column(LastName), (Texts{"Smith", "Co"}));
    EXPECT_EQ(Column(City), (Texts{"x", "Jones"}));
    EXPECT_EQ(m_messages.LastMessage(), "2 addresses imported.");
}

TEST_F(DelimitedTest, ImportFailures) {
    struct Case {
        const char* name;
        const char* content;  // nullptr: no file
        bool remember;
        Mapping mapping;
        bool cancel;
        const char* message;
        platform::MessageIcon icon;
        bool keysWritten;
    };
    using platform::MessageIcon;
    const char* noAddresses = "No addresses could be imported.";
    const Case cases[] = {
        {"no file", nullptr, true, {}, false, "an unnamed file", MessageIcon::kError, false},
        {"empty file",
         "",
         true,
         {},
         false,
         "Could not read first line of file.",
         MessageIcon::kWarning,
         false},
        {"cancelled", "a,b\n", true, {{LastName, 1}}, true, "", MessageIcon::kNone, false},
        {"nothing mapped", "a,b\n", true, {}, false, noAddresses, MessageIcon::kWarning, true},
        {"columns beyond every line",
         "a,b\n",
         false,
         {{LastName, 3}},
         false,
         noAddresses,
         MessageIcon::kWarning,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.Clear();
        Write(settings::kRememberImp, c.remember ? 1 : 0);
        Write(settings::ImportColumn(Title), 7);
        const std::string path = File(std::string(c.name) + ".csv");
        if (c.content != nullptr) {
            WriteText(path, c.content);
            if (c.cancel) {
                m_script.Cancel<CSelectFieldsDlg>();
            } else if (*c.content != '\0') {
                MapColumns(c.mapping);
            }
        }
        Controller().Import().ImportDelimited(QString::fromStdString(path), "\t", ",");
        EXPECT_EQ(List().RowCount(), 0);
        EXPECT_FALSE(m_document.IsModified());
        EXPECT_FALSE(Controller().Undo().Stack().canUndo());
        if (*c.message == '\0') {
            EXPECT_TRUE(m_messages.Messages().empty());
        } else {
            ASSERT_EQ(m_messages.Messages().size(), 1u);
            EXPECT_TRUE(m_messages.LastMessage().contains(c.message))
                << m_messages.LastMessage().toStdString();
            EXPECT_EQ(m_messages.Messages()[0].icon, c.icon);
        }
        EXPECT_EQ(Read(settings::ImportColumn(Title)), c.keysWritten ? 0 : 7);
    }
}

TEST_F(DelimitedTest, ExportWithGapsAndRepeatedColumns) {
    AddRows({{{LastName, "Smith"}, {FirstName, "Ann"}, {City, "Paris"}},
             {{LastName, "Doe \"Jr\""}, {Email1, "d@x"}, {Notes, "a<p>b"}}});
    m_document.SetModifiedFlag(false);
    m_messages.QueueFileName(Path("out"));
    // Column 3 stays empty; First Name and City share column 2 and City,
    // later in field order, wins.
    MapColumns({{LastName, 1}, {FirstName, 2}, {City, 2}, {Email1, 4}, {Notes, 5}});
    Controller().Export().OnFileExportCsv();

    ASSERT_EQ(m_messages.FileQuestions().size(), 1u);
    const platform::FileDialogRequest& asked = m_messages.FileQuestions()[0].request;
    EXPECT_TRUE(m_messages.FileQuestions()[0].save);
    EXPECT_EQ(asked.defaultExtension, "csv");
    EXPECT_TRUE(asked.promptOverwrite);
    EXPECT_EQ(ReadText(File("out.csv")),
              "\"LASTNAME\",\"CITY\",\"\",\"EMAIL1\",\"NOTES\",\r\n"
              "\"Smith\",\"Paris\",\"\",\"\",\"\",\r\n"
              "\"Doe \\\"Jr\\\"\",\"\",\"\",\"d@x\",\"a<p>b\",\r\n");
    EXPECT_EQ(m_messages.LastMessage(), "3 addresses exported.");
    EXPECT_EQ(m_status, (std::vector<int>{resources::kStrExporting, resources::kStrIdleMessage}));
    EXPECT_FALSE(m_document.IsModified());
    EXPECT_EQ(Read(settings::ExportColumn(City)), 2);
    EXPECT_EQ(m_db.CountClauses(), 0);
}

TEST_F(DelimitedTest, ExportTabAndEmptyMapping) {
    AddRows({{{LastName, "Smith"}}});
    Write(settings::kRememberExp, 0);
    Write(settings::ExportColumn(LastName), 1);
    std::array<int, kFieldCount> shown{};
    MapColumns({{LastName, 2}}, nullptr, &shown);
    ASSERT_TRUE(Controller().Export().ExportDelimited(Path("out.tdf"), '\t'));
    EXPECT_EQ(shown[LastName], 0);  // not remembered: not loaded
    EXPECT_EQ(ReadText(File("out.tdf")), "\"\"\t\"LASTNAME\"\t\r\n\"\"\t\"Smith\"\t\r\n");
    EXPECT_EQ(Read(settings::ExportColumn(LastName)), 1);  // nor saved

    MapColumns({});
    ASSERT_TRUE(Controller().Export().ExportDelimited(Path("none.tdf"), '\t'));
    EXPECT_EQ(ReadText(File("none.tdf")), "");
    EXPECT_EQ(m_messages.LastMessage(), "0 addresses exported.");
}

TEST_F(DelimitedTest, ExportNeverDestroysAnExistingFileBeforeOk) {
    AddRows({{{LastName, "Smith"}}});
    WriteText(File("keep.csv"), "old contents\n");
    m_script.Cancel<CSelectFieldsDlg>([](CSelectFieldsDlg& dialog) {
        EXPECT_TRUE(dialog.FirstLineBox()->toPlainText().isEmpty());
    });
    EXPECT_FALSE(Controller().Export().ExportDelimited(Path("keep.csv"), ','));
    EXPECT_EQ(ReadText(File("keep.csv")), "old contents\n");
    EXPECT_EQ(m_folder.Names(), (std::set<std::string>{"keep.csv", "test.INI"}));
    EXPECT_TRUE(m_messages.Messages().empty());

    // A full disk part-way: reported, and the old file is still there.
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(10);
    MapColumns({{LastName, 1}});
    EXPECT_FALSE(Controller().Export().ExportDelimited(Path("keep.csv"), ','));
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_EQ(ReadText(File("keep.csv")), "old contents\n");
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].icon, platform::MessageIcon::kError);
    m_messages.Clear();

    // A folder that does not exist: reported before the columns are asked.
    EXPECT_FALSE(Controller().Export().ExportDelimited(Path("no/such/folder.csv"), ','));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(m_messages.Messages()[0].icon, platform::MessageIcon::kError);
    EXPECT_EQ(m_script.Shown(), 2);
}

TEST_F(DelimitedTest, ImportMatchedByTheFirstLine) {
    AddTexts(LastName, {"Existing"});
    WriteText(File("contacts.csv"),
              "First Name,Last Name,Mobile Phone,Home Street,Spouse\r\n"
              "Ann,Lee,555-1,\"1 Elm St\r\nApt 2\",Bo\r\n"
              "Cy,Roe,,,\r\n");
    m_messages.QueueFileName(Path("contacts.csv"));
    std::array<int, kFieldCount> matched{};
    m_script.Accept<CSelectFieldsDlg>([&](CSelectFieldsDlg& dialog) {
        EXPECT_FALSE(dialog.FirstLineNamesBox()->isChecked());
        dialog.MatchColumnsButton()->click();
        for (int field = 0; field < kFieldCount; ++field) {
            matched[field] = dialog.ColumnBox(field)->Text().toInt();
        }
        EXPECT_EQ(dialog.MatchSummary()->text(),
                  "4 of 5 columns matched to fields; the others are placed by their labels or "
                  "kept as extra data.");
    });
    Controller().Import().OnFileImportCsv();

    EXPECT_EQ(matched[FirstName], 1);
    EXPECT_EQ(matched[LastName], 2);
    EXPECT_EQ(matched[CellPhone], 3);
    EXPECT_EQ(matched[Address1], 4);
    EXPECT_EQ(matched[City], 0);
    // The first line is skipped; the street's second line is Address 2.
    EXPECT_EQ(Column(LastName), (Texts{"Existing", "Lee", "Roe"}));
    EXPECT_EQ(Column(Address2), (Texts{"", "Apt 2", ""}));
    EXPECT_EQ(Column(CellPhone), (Texts{"", "555-1", ""}));
    EXPECT_EQ(m_messages.LastMessage(), "2 addresses imported. Kept as extra data: Spouse 1.");
    EXPECT_EQ(m_messages.Messages().back().icon, platform::MessageIcon::kInformation);
    EXPECT_EQ(List().EntryAt(1).Extra().First().Value().Text(),
              "X-QUILLBOX-CSV;NAME=\"Spouse\":Bo");
    EXPECT_EQ(Read(settings::kImportFirstLineNames), 1);
    EXPECT_EQ(Read(settings::ImportColumn(CellPhone)), 3);
    EXPECT_TRUE(m_document.IsModified());

    // Remembered: the box is ticked next time, and the first line skipped
    // with the numbers as they are.
    WriteText(File("plain.csv"), "X,Y\nAnn,Paris\n");
    bool ticked = false;
    m_script.Accept<CSelectFieldsDlg>([&](CSelectFieldsDlg& dialog) {
        ticked = dialog.FirstLineNamesBox()->isChecked();
        for (int field = 0; field < kFieldCount; ++field) {
            dialog.ColumnBox(field)->SetValue(field == LastName ? 1 : field == City ? 2 : 0);
        }
    });
    EXPECT_TRUE(Controller().Import().ImportDelimited(Path("plain.csv"), "\t", ","));
    EXPECT_TRUE(ticked);
    EXPECT_EQ(Column(LastName), (Texts{"Existing", "Lee", "Roe", "Ann"}));
    EXPECT_EQ(Column(City).back(), "Paris");
    EXPECT_EQ(m_messages.LastMessage(), "1 addresses imported.");
}

TEST_F(DelimitedTest, UntickedTheFirstLineIsImportedAsBefore) {
    Write(settings::kImportFirstLineNames, 1);
    WriteText(File("plain.csv"), "X,Y\nAnn,Paris\n");
    m_script.Accept<CSelectFieldsDlg>([](CSelectFieldsDlg& dialog) {
        EXPECT_TRUE(dialog.FirstLineNamesBox()->isChecked());
        dialog.FirstLineNamesBox()->setChecked(false);
        dialog.ColumnBox(LastName)->SetValue(1);
    });
    EXPECT_TRUE(Controller().Import().ImportDelimited(Path("plain.csv"), "\t", ","));
    EXPECT_EQ(Column(LastName), (Texts{"X", "Ann"}));
    EXPECT_EQ(m_messages.LastMessage(), "2 addresses imported.");
    EXPECT_EQ(Read(settings::kImportFirstLineNames), 0);
}

TEST_F(DelimitedTest, HeaderImportSkipsEntriesAlreadyInTheBook) {
    WriteText(File("contacts.csv"),
              "First Name,Last Name,E-mail Address\r\n"
              "Ann,Lee,ann@x.example\r\n"
              "Roe,Cy,\r\n"
              "Bo,Berg,\r\n");
    // Into an empty book the option is not offered.
    bool shown = true;
    m_script.Accept<CSelectFieldsDlg>([&](CSelectFieldsDlg& dialog) {
        shown = dialog.SkipExistingBox()->isVisibleTo(&dialog);
        dialog.FirstLineNamesBox()->setChecked(true);
        dialog.ColumnBox(LastName)->SetValue(2);
        dialog.ColumnBox(FirstName)->SetValue(1);
    });
    m_messages.QueueFileName(Path("contacts.csv"));
    Controller().Import().OnFileImportCsv();
    EXPECT_FALSE(shown);
    ASSERT_EQ(List().RowCount(), 3);
    // The book now holds every row of the file.
    Controller().Undo().Stack().clear();
    AddRows({{{FirstName, "Ann"}, {LastName, "Lee"}}});
    struct Case {
        bool firstLineNames;
        bool skip;
        bool enabled;
        int added;
        const char* report;
        platform::MessageIcon icon;
    };
    const Case cases[] = {
        // Without column names every line is added: the box is not usable.
        {false, true, false, 4, "4 addresses imported.", platform::MessageIcon::kInformation},
        {true, true, true, 0, "0 addresses imported. 3 already in the book were skipped.",
         platform::MessageIcon::kInformation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report);
        const int before = List().RowCount();
        m_messages.Clear();
        bool enabled = !c.enabled;
        m_script.Accept<CSelectFieldsDlg>([&](CSelectFieldsDlg& dialog) {
            EXPECT_TRUE(dialog.SkipExistingBox()->isVisibleTo(&dialog));
            dialog.FirstLineNamesBox()->setChecked(c.firstLineNames);
            enabled = dialog.SkipExistingBox()->isEnabled();
            dialog.SkipExistingBox()->setChecked(c.skip);
        });
        m_messages.QueueFileName(Path("contacts.csv"));
        Controller().Import().OnFileImportCsv();
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(List().RowCount(), before + c.added);
        EXPECT_EQ(m_messages.LastMessage().toStdString(), c.report);
        EXPECT_EQ(m_messages.Messages().back().icon, c.icon);
    }
    EXPECT_EQ(Controller().Undo().Stack().count(), 1);
    EXPECT_EQ(Read(settings::kSkipExisting), 1);
}

TEST_F(DelimitedTest, HeaderImportSkipsSomeAndCountsThem) {
    AddRows({{{FirstName, "Ann"}, {LastName, "Lee"}, {Email1, "ann@x.example"}},
             {{FirstName, "Cy"}, {LastName, "Roe"}}});
    WriteText(File("contacts.csv"),
              "First Name,Last Name,E-mail Address\r\n"
              "A.,Lee,ANN@x.example\r\n"
              "Roe,Cy,\r\n"
              "Bo,Berg,\r\n");
    Write(settings::kSkipExisting, 1);
    Write(settings::kImportFirstLineNames, 1);
    m_script.Accept<CSelectFieldsDlg>([](CSelectFieldsDlg& dialog) {
        EXPECT_TRUE(dialog.SkipExistingBox()->isChecked());  // remembered
        EXPECT_TRUE(dialog.SkipExistingBox()->isEnabled());
        dialog.MatchColumnsButton()->click();
    });
    m_messages.QueueFileName(Path("contacts.csv"));
    Controller().Import().OnFileImportCsv();
    EXPECT_EQ(Column(LastName), (Texts{"Lee", "Roe", "Berg"}));
    EXPECT_EQ(m_messages.LastMessage(),
              "1 addresses imported. 2 already in the book were skipped.");
    EXPECT_EQ(Controller().Undo().Stack().count(), 1);
}

TEST_F(DelimitedTest, ExportForSpreadsheets) {
    AddRows({{{LastName, "Doe \"Jr\""}, {Notes, "a<p>b\\c"}}});
    Write(settings::kExportRfc4180, 0);
    m_script.Accept<CSelectFieldsDlg>([](CSelectFieldsDlg& dialog) {
        EXPECT_FALSE(dialog.Rfc4180Box()->isChecked());
        dialog.Rfc4180Box()->setChecked(true);
        dialog.AllFieldsButton()->click();
        for (int field = 0; field < kFieldCount; ++field) {
            if (field != LastName && field != Notes) {
                dialog.ColumnBox(field)->SetValue(0);
            }
        }
    });
    ASSERT_TRUE(Controller().Export().ExportDelimited(Path("out.csv"), ','));
    std::string expected = "\"LASTNAME\"";
    for (int column = 2; column < 32; ++column) {
        expected += ",\"\"";
    }
    expected += ",\"NOTES\"\r\n\"Doe \"\"Jr\"\"\"";
    for (int column = 2; column < 32; ++column) {
        expected += ",\"\"";
    }
    expected += ",\"a\r\nb\\c\"\r\n";
    EXPECT_EQ(ReadText(File("out.csv")), expected);
    EXPECT_EQ(Read(settings::kExportRfc4180), 1);

    // Remembered for the next export.
    m_script.Cancel<CSelectFieldsDlg>(
        [](CSelectFieldsDlg& dialog) { EXPECT_TRUE(dialog.Rfc4180Box()->isChecked()); });
    EXPECT_FALSE(Controller().Export().ExportDelimited(Path("again.csv"), ','));
}

// A vCard file offered to the delimited import: the question; Yes runs the
// vCard import on it (the window's own wiring, or the handler set); No does
// nothing; without a handler the user is told what the file is.
TEST_F(DelimitedTest, AVCardFileOffersTheVCardImport) {
    const std::string cards = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n";
    WriteText(File("cards.vcf"), "\xEF\xBB\xBF" + cards);
    m_messages.QueueAnswer(platform::MessageAnswer::kYes);
    Controller().Import().ImportDelimited(Path("cards.vcf"), "\t", ",");
    ASSERT_EQ(m_messages.Messages().size(), 2u);
    EXPECT_EQ(m_messages.Messages()[0].text,
              "cards.vcf holds vCards, not delimited text.\n\nImport its cards as vCards "
              "instead?");
    EXPECT_EQ(m_messages.Messages()[0].icon, platform::MessageIcon::kQuestion);
    EXPECT_EQ(m_messages.Messages()[0].buttons, platform::MessageButtons::kYesNo);
    ASSERT_EQ(List().RowCount(), 1);
    EXPECT_EQ(List().EntryAt(0).GetField(addressbook::LastName), "Lee");
    EXPECT_EQ(List().EntryAt(0).GetField(addressbook::FirstName), "Ann");
    EXPECT_EQ(m_messages.LastMessage(), "1 addresses imported.");
    EXPECT_TRUE(m_document.IsModified());
    m_document.SetModifiedFlag(false);

    std::vector<QString> handed;
    Controller().Import().SetVCardImportHandler(
        [&handed](const QString& path) { handed.push_back(path); });
    m_messages.Clear();
    m_messages.QueueAnswer(platform::MessageAnswer::kYes);
    EXPECT_FALSE(Controller().Import().ImportDelimited(Path("cards.vcf"), "\t", ","));
    EXPECT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(handed, std::vector<QString>{Path("cards.vcf")});

    // No: nothing happens, the lines are not imported either.
    m_messages.Clear();
    m_messages.QueueAnswer(platform::MessageAnswer::kNo);
    WriteText(File("cards.txt"), "  begin:vcard \n" + cards);
    EXPECT_FALSE(Controller().Import().ImportDelimited(Path("cards.txt"), " ", "\t"));
    EXPECT_EQ(handed.size(), 1u);
    EXPECT_EQ(List().RowCount(), 1);

    // Without a handler the user is told what the file is.
    m_messages.Clear();
    Controller().Import().SetVCardImportHandler({});
    EXPECT_FALSE(Controller().Import().ImportDelimited(Path("cards.vcf"), "\t", ","));
    EXPECT_EQ(m_messages.LastMessage(), "cards.vcf holds vCards, not delimited text.");
    EXPECT_EQ(m_messages.Messages().back().icon, platform::MessageIcon::kWarning);
    EXPECT_EQ(m_script.Shown(), 0);  // Select Fields never appeared
    EXPECT_FALSE(m_document.IsModified());
}

}  // namespace
}  // namespace entries
