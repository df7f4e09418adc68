// Import of files whose first line names the columns: per-row placement by
// labels, what is kept as extra data, the two rule sets, and export then
// import giving every value back.
#include "addressbook/header_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "addressbook/column_aliases.h"
#include "addressbook/delimited_token.h"
#include "addressbook/extra_description.h"
#include "addressbook/vcard_mapping.h"
#include "support/book_io.h"
#include "test_support.h"

namespace addressbook {
namespace {

using Lines = std::vector<std::string>;

using testing::Describe;

struct Imported {
    std::vector<Lines> entries;
    std::string report;
};

// Imports `text` with the columns its first line's names give.
Imported ImportCsv(std::string_view text, char separator = ',') {
    CsvHeader header;
    EXPECT_TRUE(ReadCsvHeaderText(text, separator, header));
    StagedEntries staged;
    HeaderImportReport report;
    const int count =
        ImportWithHeaderText(text, separator, MatchColumns(header.names), staged, report);
    EXPECT_EQ(count, static_cast<int>(staged.entries.size()));
    EXPECT_EQ(staged.announcedRows, count);
    Imported imported;
    for (const auto& entry : staged.entries) {
        imported.entries.push_back(Describe(*entry));
    }
    imported.report = HeaderImportReportText(report);
    return imported;
}

TEST(HeaderImport, PhonesAndEmailsGoWhereTheirLabelsSay) {
    const Imported imported = ImportCsv(
        "Given Name,Family Name,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,"
        "Phone 3 - Type,Phone 3 - Value,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,"
        "E-mail 2 - Value,Phone 4 - Type,Phone 4 - Value\r\n"
        "Ann,Lee,* Mobile,555-1 ::: 555-2,Work Fax,555-3,Grandma,555-4,* Home,a@x.org ::: "
        "b@x.org,Work,c@x.org,Moon,\r\n"
        "Bo,,,,,,,,,,,,Pager,555-9\r\n");
    ASSERT_EQ(imported.entries.size(), 2u);
    EXPECT_EQ(imported.entries[0],
              (Lines{"LastName=Lee", "FirstName=Ann", "HomePhone=555-4", "CellPhone=555-1",
                     "FaxPhone=555-3", "Email1=a@x.org", "Email2=b@x.org",
                     "vCard=TEL;TYPE=cell:555-2", "vCard=EMAIL;TYPE=work:c@x.org",
                     "vCard=X-QUILLBOX-CSV;NAME=\"Phone 3 - Type\":Grandma"}));
    // A label of nothing ("Moon" without a number) is not kept.
    EXPECT_EQ(imported.entries[1], (Lines{"FirstName=Bo", "Pager=555-9"}));
    EXPECT_EQ(imported.report,
              "2 addresses imported. Kept as extra data: Phone 3 - Type 1, a second mobile "
              "phone 1, a third e-mail 1.");
}

TEST(HeaderImport, AddressGroupsFillTheAddressOrAreKept) {
    const Imported imported = ImportCsv(
        "Name,Address 1 - Type,Address 1 - Street,Address 1 - City,Address 2 - Type,"
        "Address 2 - Street,Address 2 - City,Address 2 - Postal Code,Address 2 - PO Box,"
        "Address 3 - Type,Address 3 - Formatted\r\n"
        "Acme Inc,Work,1 Main St,Springfield,Home,\"12 Elm St\r\nApt 4\",Shelbyville,62701,"
        "PO 7,Other,\"Box 5\nCapital\"\r\n");
    ASSERT_EQ(imported.entries.size(), 1u);
    EXPECT_EQ(imported.entries[0], (Lines{"LastName=Acme Inc", "Address1=12 Elm St",
                                          "Address2=Apt 4", "City=Shelbyville", "ZipCode=62701",
                                          "vCard=ADR;TYPE=work:;;1 Main St;Springfield;;;",
                                          "vCard=X-QUILLBOX-CSV;NAME=\"Address 2 - PO Box\":PO 7",
                                          "vCard=LABEL:Box 5\\nCapital"}));
    EXPECT_EQ(imported.report,
              "1 addresses imported. Kept as extra data: Address 2 - PO Box 1, a work address 1, "
              "another address 1.");
}

TEST(HeaderImport, ColumnsOfAMailProgram) {
    const Imported imported = ImportCsv(
        "Title,First Name,Last Name,Suffix,Home Street,Home Street 2,Home City,Business Street,"
        "Business City,Home Fax,Business Fax,E-mail Address,E-mail Type,E-mail Display Name,"
        "Birthday,Anniversary,Priority,Private,Spouse,Categories,Notes\r\n"
        "Dr.,Jane,Doe,Jr.,\"12 Elm St\r\nApt 4\",Floor 2,Springfield,1 Main St,Capital,555-1,"
        "555-2,jane@x.org,SMTP,Jane Doe (jane@x.org),4/1/1980,0/0/00,Normal,False,Ann,"
        "Friends;Work,\"Line 1\r\nLine \"\"2\"\"\"\r\n");
    ASSERT_EQ(imported.entries.size(), 1u);
    EXPECT_EQ(imported.entries[0],
              (Lines{"LastName=Doe", "FirstName=Jane", "Title=Dr.", "Address1=12 Elm St",
                     "Address2=Apt 4, Floor 2", "City=Springfield", "FaxPhone=555-1",
                     "Email1=jane@x.org", "Notes=Line 1<p>Line \"2\"",
                     "vCardForm=N:{LastName};{FirstName};{MiddleInitial};{Title};Jr.",
                     "vCard=TEL;TYPE=work,fax:555-2", "vCard=BDAY;VALUE=text:4/1/1980",
                     "vCard=X-QUILLBOX-CSV;NAME=\"Spouse\":Ann", "vCard=CATEGORIES:Friends,Work",
                     "vCard=ADR;TYPE=work:;;1 Main St;Capital;;;"}));
}

// The lines of a long street point into the field that takes the first.
TEST(HeaderImport, AStreetOfLongLinesIsSplitIntoBothAddressFields) {
    const std::string first(40, 'a');
    const std::string second(50, 'b');
    const std::string third(60, 'c');
    const Imported imported = ImportCsv("Home Street,Home Street 2\r\n\"" + first + "\r\n" +
                                        second + "\n" + third + "\",Floor 2\r\n");
    ASSERT_EQ(imported.entries.size(), 1u);
    EXPECT_EQ(imported.entries[0],
              (Lines{"Address1=" + first, "Address2=" + second + ", " + third + ", Floor 2"}));
}

TEST(HeaderImport, NamesAndColumnsBeyondTheNames) {
    const Imported imported = ImportCsv(
        "Display Name,First Name,Last Name,Nickname,Company\n"
        "Jane Doe,Jane,Doe,JJ,,surplus\n"
        "\"Doe, Jane\",Jane,Doe\n"
        "Dr. J. Doe,Jane,Doe,,\n"
        "Acme,,,,Acme\n"
        ",,,,\n"
        "\n");
    ASSERT_EQ(imported.entries.size(), 4u);  // the row of empty values gives nothing
    EXPECT_EQ(imported.entries[0], (Lines{"LastName=Doe", "FirstName=Jane", "vCard=NICKNAME:JJ",
                                          "vCard=X-QUILLBOX-CSV;NAME=\"Column 6\":surplus"}));
    EXPECT_EQ(imported.entries[1], (Lines{"LastName=Doe", "FirstName=Jane"}));
    EXPECT_EQ(imported.entries[2],
              (Lines{"LastName=Doe", "FirstName=Jane",
                     "vCard=X-QUILLBOX-CSV;NAME=\"Display Name\":Dr. J. Doe"}));
    EXPECT_EQ(imported.entries[3], (Lines{"Company=Acme"}));
}

TEST(HeaderImport, ColumnsNotNumberedAreKeptUnderTheirNames) {
    CsvHeader header;
    const std::string text = "Last Name,Mobile,Notes\r\nDoe,555,\"a, \"\"b\"\"\"\r\n";
    ASSERT_TRUE(ReadCsvHeaderText(text, ',', header));
    ColumnMapping columns = MatchColumns(header.names);
    columns[CellPhone] = 0;
    columns[Notes] = 0;
    columns[City] = 1;
    StagedEntries staged;
    HeaderImportReport report;
    ASSERT_EQ(ImportWithHeaderText(text, ',', columns, staged, report), 1);
    EXPECT_EQ(Describe(*staged.entries[0]),
              (Lines{"LastName=Doe", "City=Doe", "vCard=TEL;TYPE=cell:555",
                     "vCard=X-QUILLBOX-CSV;NAME=\"Notes\":a\\, \"b\""}));
}

TEST(HeaderImport, FindsWhichRulesTheFileFollows) {
    struct Case {
        const char* name;
        std::string text;
        char separator;
        HeaderFileRules rules;
        std::vector<Lines> entries;
    };
    const Case cases[] = {
        {"own plain export: backslash escapes, a quoted value across lines",
         "\"LASTNAME\",\"\",\"NOTES\",\r\n\"O\\\"Brien\",\"\",\"a\r\n\\\\b\",\r\n",
         ',',
         HeaderFileRules::kQuillbox,
         {{"LastName=O\"Brien", "Notes=a\n\\b"}}},
        {"own plain tab export",
         "\"LASTNAME\"\t\"CITY\"\t\r\n\"Le Roy\"\t\"\"\t\r\n",
         '\t',
         HeaderFileRules::kQuillbox,
         {{"LastName=Le Roy"}}},
        {"own words without the separator at the end: RFC 4180",
         "\"LASTNAME\",\"NOTES\"\r\n\"a\\\"\"b\",\"x\r\ny\"\r\n",
         ',',
         HeaderFileRules::kRfc4180,
         {{"LastName=a\\\"b", "Notes=x<p>y"}}},
        {"other words with the separator at the end",
         "Last Name,Notes,\r\nDoe,\"x\\\",\r\n",
         ',',
         HeaderFileRules::kRfc4180,
         {{"LastName=Doe", "Notes=x\\"}}},
        {"own export, an entry of empty fields is kept",
         "\"LASTNAME\",\"CITY\",\r\n\"\",\"\",\r\n",
         ',',
         HeaderFileRules::kQuillbox,
         {{}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CsvHeader header;
        ASSERT_TRUE(ReadCsvHeaderText(c.text, c.separator, header));
        EXPECT_EQ(header.rules, c.rules);
        EXPECT_EQ(ImportCsv(c.text, c.separator).entries, c.entries);
    }
    CsvHeader header;
    EXPECT_FALSE(ReadCsvHeaderText("", ',', header));
    ASSERT_TRUE(ReadCsvHeaderText("\"Last\r\nName\",City\r\nx,y", ',', header));
    EXPECT_EQ(header.names, (Lines{"Last\nName", "City"}));
}

TEST(HeaderImport, AnUnclosedQuoteTakesTheRestOfTheFileAndIsReported) {
    const Imported imported = ImportCsv("Last Name,Notes\r\nA,ok\r\nB,\"open\r\nC,x\r\n");
    ASSERT_EQ(imported.entries.size(), 2u);
    EXPECT_EQ(imported.entries[1], (Lines{"LastName=B", "Notes=open<p>C,x"}));
    EXPECT_EQ(imported.report,
              "2 addresses imported. The entry that begins on line 3 opens a quote that is "
              "never closed: the rest of the file was read into it.");
    EXPECT_EQ(ImportCsv("Last Name\r\n").report, "No addresses could be imported.");
}

// What was kept is described in words for the editor and goes into a
// vCard export as it is.
TEST(HeaderImport, KeptDataIsDescribedAndGoesIntoVCards) {
    const std::string text =
        "First Name,Last Name,Suffix,Spouse,Birthday,Business Phone,Business Phone 2,Nickname\r\n"
        "Jo,Doe,Jr.,\"Ann \"\"Nan\"\"\",1980-04-01,555-1,555-2,\"J, D\"\r\n";
    CsvHeader header;
    ASSERT_TRUE(ReadCsvHeaderText(text, ',', header));
    StagedEntries staged;
    HeaderImportReport report;
    ASSERT_EQ(ImportWithHeaderText(text, ',', MatchColumns(header.names), staged, report), 1);
    const CAddressEntry& entry = *staged.entries[0];
    EXPECT_EQ(DescribeExtraData(entry),
              (Lines{"Name suffix: Jr.", "Spouse: Ann \"Nan\"", "Birthday: 1980-04-01",
                     "Phone (work): 555-2", "Nickname: J, D"}));
    std::vector<std::string> card;
    vcard::CardLines(entry, vcard::Version::V30, "urn:uuid:x", card);
    for (const char* line : {"N:Doe;Jo;;;Jr.", "X-QUILLBOX-CSV;NAME=\"Spouse\":Ann \"Nan\"",
                             "BDAY:1980-04-01", "TEL;TYPE=work:555-2", "NICKNAME:J\\, D"}) {
        EXPECT_NE(std::find(card.begin(), card.end(), line), card.end()) << line;
    }
}

// The header of each of this program's own exports names every field in its
// column, and tells which rules the file follows; the values themselves
// come back in ExportThenImportGivesEveryValueBack.
TEST(HeaderImport, OwnExportHeadersNameEveryField) {
    for (const auto& [name, separator, rules] :
         {std::tuple{"book.csv", ',', HeaderFileRules::kQuillbox},
          std::tuple{"book.tdf", '\t', HeaderFileRules::kQuillbox},
          std::tuple{"book-rfc4180.csv", ',', HeaderFileRules::kRfc4180}}) {
        SCOPED_TRACE(name);
        CsvHeader header;
        ASSERT_TRUE(ReadCsvHeaderText(
            testing::ReadBytes(std::string(QUILLBOX_TEST_DATA_DIR) + "/golden/" + name), separator,
            header));
        EXPECT_EQ(header.rules, rules);
        EXPECT_EQ(MatchColumns(header.names), testsupport::AllColumns());
    }
}

// Random values of every kind of byte the files treat specially.
std::string RandomValue(std::mt19937& random, bool lineBreaks) {
    static const std::vector<std::string> pieces = {
        "a",    "Z",       " ",        "\t",           ",", ";",     "\"", "\"\"", "\\",
        "\\\\", "<p>",     "\xC3\xA9", "\xE4\xB8\xAD", "'", " ::: ", "x",  "\r",   "\n",
        "\r\n", "LASTNAME"};
    std::uniform_int_distribution<int> length(0, 6);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::string value;
    for (int n = length(random); n > 0; --n) {
        const std::string& piece = pieces[pick(random)];
        if (lineBreaks || piece.find_first_of("\r\n") == std::string::npos) {
            value += piece;
        }
    }
    return value;
}

// Export then import gives every value back, in both forms of the export
// and with both separators: with the header matched, and (for values
// without line breaks) with the plain import too.
TEST(HeaderImport, ExportThenImportGivesEveryValueBack) {
    std::mt19937 random(20240517);
    for (const ExportQuoting quoting : {ExportQuoting::kBackslash, ExportQuoting::kRfc4180}) {
        for (const char separator : {',', '\t'}) {
            for (const bool lineBreaks : {true, false}) {
                SCOPED_TRACE(::testing::Message()
                             << "rfc " << (quoting == ExportQuoting::kRfc4180) << " separator "
                             << int(separator) << " line breaks " << lineBreaks);
                VectorAddressList list;
                for (int row = 0; row < 200; ++row) {
                    auto entry = std::make_unique<CAddressEntry>();
                    for (int field = 0; field < kFieldCount; ++field) {
                        // RFC 4180 writes "<p>" in Notes as a line break:
                        // real line breaks there come back as "<p>".
                        const bool breaks =
                            lineBreaks && !(quoting == ExportQuoting::kRfc4180 && field == Notes);
                        entry->SetField(field, RandomValue(random, breaks));
                    }
                    ASSERT_TRUE(list.AppendEntry(std::move(entry)));
                }
                std::string text;
                ASSERT_EQ(testsupport::ExportToText(list, testsupport::AllColumns(), separator,
                                                    text, quoting),
                          201);
                StagedEntries staged;
                HeaderImportReport report;
                ASSERT_EQ(ImportWithHeaderText(text, separator, testsupport::AllColumns(), staged,
                                               report),
                          200);
                EXPECT_TRUE(report.kept.empty());
                for (int row = 0; row < 200; ++row) {
                    ASSERT_EQ(Describe(*staged.entries[static_cast<std::size_t>(row)]),
                              Describe(list.EntryAt(row)))
                        << "row " << row;
                }
                if (lineBreaks || quoting == ExportQuoting::kRfc4180) {
                    continue;
                }
                clausedb::CExprDatabase db;
                const std::string_view white = separator == ',' ? kCommaWhite : kTabWhite;
                const std::string_view breaks = separator == ',' ? kCommaBreaks : kTabBreaks;
                ASSERT_EQ(
                    ImportDelimited(text, testsupport::AllColumns(), white, breaks, db, staged),
                    201);
                for (int row = 0; row < 200; ++row) {
                    ASSERT_EQ(Describe(*staged.entries[static_cast<std::size_t>(row) + 1]),
                              Describe(list.EntryAt(row)))
                        << "row " << row;
                }
            }
        }
    }
}

}  // namespace
}  // namespace addressbook
