#include <gtest/gtest.h>

#include "addressbook/book_file.h"
#include "addressbook/delimited_import.h"
#include "addressbook/delimited_token.h"
#include "support/book_generator.h"
#include "test_support.h"

namespace addressbook {
namespace {

using testing::Columns;
using testing::Describe;
using testing::FieldValues;

constexpr int kGenerated = 1000;

ColumnMapping AllColumns() {
    ColumnMapping all{};
    for (int i = 0; i < kFieldCount; ++i) {
        all[static_cast<std::size_t>(i)] = i + 1;
    }
    return all;
}

// A line of `count` fields: "a,b" escaped, then f1, f2, ...
std::string ManyFields(int count) {
    std::string line = "a\\,b";
    for (int i = 1; i < count; ++i) {
        line += ",f" + std::to_string(i);
    }
    return line + "\n";
}

// Imports `text` from memory into `list`; returns the count.
int ImportText(std::string_view text, const ColumnMapping& columns, bool tabs,
               VectorAddressList& list) {
    clausedb::CExprDatabase db;
    StagedEntries staged;
    const int count = ImportDelimited(text, columns, tabs ? kTabWhite : kCommaWhite,
                                      tabs ? kTabBreaks : kCommaBreaks, db, staged);
    EXPECT_EQ(staged.announcedRows, std::max(count, 0));
    EXPECT_EQ(db.CountClauses(), 0);
    LoadEntries(staged, list);
    return count;
}

TEST(ImportDelimited, OneEntryPerLineThatFillsAField) {
    const auto lastFirst = Columns({{LastName, 1}, {FirstName, 2}});
    const std::string longField(3000, 'n');
    struct Case {
        std::string text;
        ColumnMapping columns;
        std::vector<FieldValues> entries;
        bool tabSets = false;
    };
    const Case cases[] = {
        {"Smith,Ann\nJones\n",
         lastFirst,
         {{{LastName, "Smith"}, {FirstName, "Ann"}}, {{LastName, "Jones"}}}},
        {"a,,b\n", Columns({{LastName, 2}, {City, 3}}), {{{City, "b"}}}},
        {"x\n", Columns({{LastName, 1}, {Notes, 1}}), {{{LastName, "x"}, {Notes, "x"}}}},
        {"\n\na\n\r\n\nb", Columns({{LastName, 1}}), {{{LastName, "a"}}, {{LastName, "b"}}}},
        {"\t\n", Columns({{LastName, 1}}), {{}}},  // white space only: one empty field
        {"\t\n", Columns({{LastName, 2}}), {}},
        {"a,b\nc\n",
         Columns({{LastName, 0}, {FirstName, -1}, {Title, 3}, {City, 2}}),
         {{{City, "b"}}}},
        {"LASTNAME,FIRSTNAME\r\nSmith,Ann\r\n",
         lastFirst,
         {{{LastName, "LASTNAME"}, {FirstName, "FIRSTNAME"}},
          {{LastName, "Smith"}, {FirstName, "Ann"}}}},
        {"a\rb,c\n", Columns({{LastName, 1}}), {{{LastName, "a\rb"}}}},  // a lone CR is text
        {"a\rb,c\nd\r", Columns({{LastName, 1}}), {{{LastName, "a\rb"}}, {{LastName, "d\r"}}}},
        {"a,b,\n", Columns({{LastName, 3}}), {}},
        {"John Smith\tx\n\"John Smith\"\tx\n",
         Columns({{FirstName, 1}, {LastName, 2}}),
         {{{LastName, "Smith"}, {FirstName, "John"}}, {{LastName, "x"}, {FirstName, "John Smith"}}},
         true},
        {"\"Smith, John\",x\n\"a\"\"b\",c\n",
         lastFirst,
         {{{LastName, "Smith, John"}, {FirstName, "x"}}, {{LastName, "a"}, {FirstName, "b"}}}},
        {longField + "," + longField, Columns({{Notes, 2}}), {{{Notes, longField}}}},
        {"a,b\n", Columns({{LastName, 2000000000}, {FirstName, 1}}), {{{FirstName, "a"}}}},
        {"a,b\n", ColumnMapping{}, {}},
        // More fields than the first room for them, an escaped one early:
        // its text must survive the room growing.
        {ManyFields(600),
         Columns({{LastName, 1}, {FirstName, 600}}),
         {{{LastName, "a,b"}, {FirstName, "f599"}}}},
    };
    for (const Case& c : cases) {
        VectorAddressList list;
        EXPECT_EQ(ImportText(c.text, c.columns, c.tabSets, list),
                  static_cast<int>(c.entries.size()))
            << c.text.substr(0, 40);
        EXPECT_EQ(Describe(list), Describe(c.entries)) << c.text.substr(0, 40);
    }
}

// A file gives the entries its text gives from memory, in any encoding and
// whatever the size of the reading blocks (tiny blocks cut every line and
// every character).
TEST(ImportDelimited, FilesReadInBlocksGiveTheEntriesOfTheirText) {
    const auto lastFirst = Columns({{LastName, 1}, {FirstName, 2}});
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<std::string> text;  // the bytes decoded, when not plain UTF-8
        ColumnMapping columns;
        bool tabs;
        int count;
    };
    const Case cases[] = {
        {"generated csv", bench::MakeDelimitedText(kGenerated, bench::kDefaultSeed, ','),
         std::nullopt, AllColumns(), false, kGenerated + 1},
        {"generated tdf", bench::MakeDelimitedText(kGenerated, bench::kDefaultSeed, '\t'),
         std::nullopt, AllColumns(), true, kGenerated + 1},
        {"empty lines", "\n\na\n\r\n\nb", std::nullopt, Columns({{LastName, 1}}), false, 2},
        {"crlf", "Smith,Ann\r\nJones\r\n", std::nullopt, lastFirst, false, 2},
        {"long line", std::string(5000, 'x') + "," + std::string(3000, 'y') + "\n", std::nullopt,
         lastFirst, false, 1},
        {"bom",
         "\xEF\xBB\xBF"
         "Doe,x\r\n",
         "Doe,x\r\n", lastFirst, false, 1},
        {"bom only", "\xEF\xBB\xBF", "", lastFirst, false, 0},
        {"windows-1252", "M\xFCller\x80,x\n", "M\xC3\xBCller\xE2\x82\xAC,x\n", lastFirst, false, 1},
        {"late stray byte", std::string(3000, 'a') + "\n\xE9\n",
         std::string(3000, 'a') + "\n\xC3\xA9\n", lastFirst, false, 2},
        // UTF-8 handed out before the stray byte shows that it was not.
        {"late stray byte after utf-8", "M\xC3\xBCller,x\n" + std::string(3000, 'a') + "\n\xE9\n",
         "M\xC3\x83\xC2\xBCller,x\n" + std::string(3000, 'a') + "\n\xC3\xA9\n", lastFirst, false,
         3},
        {"utf-16",
         std::string("\xFF\xFE"
                     "a\0,\0x\0",
                     8),
         "a,x", lastFirst, false, 1},
    };
    testing::TempDir dir;
    const std::string path = dir.File("import.txt");
    for (const Case& c : cases) {
        testing::WriteBytes(path, c.bytes);
        const std::string text = c.text.value_or(c.bytes);
        VectorAddressList expected;
        ASSERT_EQ(ImportText(text, c.columns, c.tabs, expected), c.count) << c.name;
        const std::vector<std::size_t> blocks = c.bytes.size() > 10000
                                                    ? std::vector<std::size_t>{61, 4096, 0}
                                                    : std::vector<std::size_t>{1, 3, 64, 0};
        for (std::size_t block : blocks) {
            CDelimitedTextFile::SetBlockSizeForTesting(block);
            CDelimitedTextFile file;
            ASSERT_TRUE(file.Open(path)) << c.name;
            clausedb::CExprDatabase db;
            StagedEntries staged;
            EXPECT_EQ(ImportDelimited(file, c.columns, c.tabs ? kTabWhite : kCommaWhite,
                                      c.tabs ? kTabBreaks : kCommaBreaks, db, staged),
                      c.count)
                << c.name << " block " << block;
            VectorAddressList list;
            LoadEntries(staged, list);
            EXPECT_EQ(Describe(list), Describe(expected)) << c.name << " block " << block;
            EXPECT_EQ(db.CountClauses(), 0);
        }
        CDelimitedTextFile::SetBlockSizeForTesting(0);
    }
}

TEST(ImportDelimited, FirstLineAndUnreadableFiles) {
    testing::TempDir dir;
    struct Case {
        std::string bytes;
        std::optional<std::string> first;
    };
    const Case cases[] = {
        {"", std::nullopt},
        {"\r\nx", ""},
        {"Doe,x\r\nRoe", "Doe,x"},
        {"\xEF\xBB\xBF"
         "Doe,x",
         "Doe,x"},
        {"M\xFCller,x\n", "M\xC3\xBCller,x"},
        // A first line of UTF-8, or of ASCII, before a stray byte.
        {"M\xC3\xBCller,x\nab\xE9\n", "M\xC3\x83\xC2\xBCller,x"},
        {"Muller,x\nab\xE9\n", "Muller,x"},
        {std::string("\xFF\xFE"
                     "a\0\n\0b\0",
                     8),
         "a"},
    };
    // Small blocks leave a stray byte unread when the first line is taken.
    for (std::size_t block : {0, 4}) {
        CDelimitedTextFile::SetBlockSizeForTesting(block);
        for (const Case& c : cases) {
            testing::WriteBytes(dir.File("in.csv"), c.bytes);
            CDelimitedTextFile file;
            ASSERT_TRUE(file.Open(dir.File("in.csv")));
            EXPECT_EQ(file.FirstLine(), c.first) << c.bytes << " block " << block;
            EXPECT_EQ(file.FirstLine(), c.first);  // read again from the start
        }
    }
    CDelimitedTextFile::SetBlockSizeForTesting(0);

    CDelimitedTextFile file;
    EXPECT_FALSE(file.Open(dir.File("missing.csv")));
    EXPECT_EQ(file.ErrorText(), "No such file or directory");
    EXPECT_EQ(file.ErrorNumber(), ENOENT);
    EXPECT_FALSE(file.FirstLine());
    EXPECT_FALSE(file.Open(dir.File("")));
    EXPECT_EQ(file.ErrorNumber(), EISDIR);
}

}  // namespace
}  // namespace addressbook
