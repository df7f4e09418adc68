// The streaming open, save, import and export against the ways that stage
// every clause in the database: same entries, same errors with their lines,
// same bytes, over a generated book of 1,000 entries and over bad input.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/delimited_export.h"
#include "addressbook/delimited_import.h"
#include "addressbook/delimited_token.h"
#include "fileio/atomic_file.h"
#include "support/book_generator.h"
#include "test_support.h"

namespace addressbook {
namespace {

using clausedb::CExprDatabase;
using testing::Columns;

constexpr int kBookSize = 1000;

std::string OnDisk(std::string_view text) {
    std::string disk;
    for (char c : text) {
        disk += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return disk;
}

// Everything an open shows: result, errors, and the list afterwards.
struct Opened {
    bool ok = false;
    int errors = 0;
    std::vector<clausedb::SyntaxError> reports;
    bool fileError = false;
    int appended = 0;
    int reserved = 0;
    bool redraw = false;
    int resorts = 0;
    std::vector<std::vector<std::string>> rows;
    bool operator==(const Opened&) const = default;
};

enum class Way { Whole, Streamed };

Opened Open(Way way, const std::string& path, int rowLimit) {
    clausedb::ParseErrors errors;
    CExprDatabase db;
    VectorAddressList list;
    testing::AppendEntries(list, {{{LastName, "already shown"}}});
    list.SetRowLimit(rowLimit);
    Opened o;
    if (way == Way::Whole) {
        o.ok = db.ReadFile(path, {}, &errors);
        o.errors = db.ErrorCount();
        if (o.ok) {
            o.appended = LoadEntriesFromClauses(db, list);
        }
    } else {
        StagedEntries staged;
        o.ok = ReadBookEntries(db, path, staged, &errors);
        o.errors = db.ErrorCount();
        EXPECT_EQ(db.CountClauses(), 0);
        if (o.ok) {
            o.appended = LoadStagedEntries(staged, list);
        } else {
            EXPECT_TRUE(staged.entries.empty());
        }
    }
    o.reports = errors.Errors();
    o.fileError = !db.LastFileError().empty();
    o.reserved = list.ReservedRows();
    o.redraw = list.IsRedrawOn();
    o.resorts = list.ResortCount();
    o.rows = testing::Describe(list);
    return o;
}

class Streaming : public ::testing::Test {
protected:
    void TearDown() override {
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
        CDelimitedTextFile::SetBlockSizeForTesting(0);
    }
    // The generated book in a list.
    static VectorAddressList BookList() {
        CExprDatabase db;
        StagedEntries staged;
        EXPECT_TRUE(ReadBookEntriesFromText(
            db, bench::MakeBookText(kBookSize, bench::kDefaultSeed, false), staged));
        VectorAddressList list;
        LoadStagedEntries(staged, list);
        return list;
    }

    testing::TempDir m_dir;
};

TEST_F(Streaming, OpenGivesTheEntriesAndErrorsOfTheWholeRead) {
    struct Case {
        const char* name;
        std::string bytes;
        int rowLimit = -1;
    };
    const std::string doe = "contact('LastName' = \"Doe\", 'City' = \"Oslo\").\n\n";
    const Case cases[] = {
        {"generated", bench::MakeBookText(kBookSize, bench::kDefaultSeed, true)},
        {"generated, row limit", bench::MakeBookText(50, bench::kDefaultSeed, true), 20},
        {"empty", ""},
        {"other functors", OnDisk("person(a = \"x\").\n" + doe + "[contact].\nx.\n" + doe)},
        {"bad middle", OnDisk(doe + "contact(,).\n\n" + doe + "g(.\n" + doe)},
        {"bad last", OnDisk(doe + doe + "contact('LastName' = \"cut")},
        {"stray byte", OnDisk(doe + ";\n" + doe)},
        {"windows-1252", "contact('City' = \"Z\xFCrich\").\r\n"},
        {"utf-16", std::string("\xFF\xFE"
                               "x\0.\0",
                               6)},
        {"lookalikes", OnDisk("contact(1, 'LastName' = 2.5, LastName = [a], 'Notes' = n).\n"
                              "contact('LastName' = \"A\", 'LastName' = \"B\", junk).\n")},
    };
    for (const Case& c : cases) {
        const std::string path = m_dir.File("book.qxd");
        testing::WriteBytes(path, c.bytes);
        const Opened whole = Open(Way::Whole, path, c.rowLimit);
        EXPECT_EQ(Open(Way::Streamed, path, c.rowLimit), whole) << c.name;
        if (std::string(c.name) == "generated") {
            EXPECT_EQ(whole.appended, kBookSize);
        }
    }
    const Opened missing = Open(Way::Streamed, m_dir.File("missing.qxd"), -1);
    EXPECT_EQ(missing, Open(Way::Whole, m_dir.File("missing.qxd"), -1));
    EXPECT_TRUE(missing.fileError);
}

TEST_F(Streaming, SaveWritesTheBytesOfTheWholeWrite) {
    VectorAddressList book = BookList();
    VectorAddressList empty;
    VectorAddressList odd;
    testing::AppendEntries(odd, {{{Notes, "two\r\nlines \"q\" \\"}, {LastName, "'e'"}}, {}});
    for (const VectorAddressList* list : {&book, &empty, &odd}) {
        CExprDatabase db;
        ASSERT_TRUE(WriteBook(*list, db, m_dir.File("whole.qxd")));
        ASSERT_TRUE(SaveBook(*list, db, m_dir.File("streamed.qxd")));
        EXPECT_EQ(db.CountClauses(), 0);
        EXPECT_TRUE(testing::ReadBytes(m_dir.File("whole.qxd")) ==
                    testing::ReadBytes(m_dir.File("streamed.qxd")))
            << list->RowCount() << " rows";
    }
    CExprDatabase db;
    ASSERT_TRUE(SaveBook(book, db, m_dir.File("book.qxd")));
    EXPECT_TRUE(testing::ReadBytes(m_dir.File("book.qxd")) ==
                bench::MakeBookText(kBookSize, bench::kDefaultSeed, true));

    // A full disk: the old file stays and the reason is given.
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(5000);
    EXPECT_FALSE(SaveBook(book, db, m_dir.File("book.qxd")));
    EXPECT_FALSE(db.LastFileError().empty());
    EXPECT_NE(db.LastFileErrno(), 0);
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_TRUE(testing::ReadBytes(m_dir.File("book.qxd")) ==
                bench::MakeBookText(kBookSize, bench::kDefaultSeed, true));
}

TEST_F(Streaming, ExportWritesTheLinesOfTheStagedExport) {
    ColumnMapping all{};
    for (int i = 0; i < kFieldCount; ++i) {
        all[static_cast<std::size_t>(i)] = i + 1;
    }
    const ColumnMapping mappings[] = {
        all,
        Columns({{LastName, 1}, {FirstName, 2}, {Email1, 4}}),
        Columns({{Notes, 3}, {City, 3}, {LastName, -2}}),  // a shared column and a gap
        ColumnMapping{},
        Columns({{LastName, kMaxExportColumn + 1}}),
    };
    const VectorAddressList book = BookList();
    for (const ColumnMapping& columns : mappings) {
        for (char separator : {',', '\t'}) {
            CExprDatabase db;
            StageExportClauses(book, db);
            std::string staged;
            const int stagedCount = ExportDelimitedClauses(db, columns, separator, staged);

            std::string streamed;
            int blocks = 0;
            const int count =
                ExportDelimitedTo(book, db, columns, separator, [&](std::string_view bytes) {
                    streamed.append(bytes);
                    ++blocks;
                    return true;
                });
            EXPECT_EQ(count, stagedCount);
            EXPECT_TRUE(streamed == staged) << columns[0] << " " << separator;
            EXPECT_EQ(db.CountClauses(), 0);

            std::string inMemory;
            EXPECT_EQ(ExportDelimited(book, db, columns, separator, inMemory), stagedCount);
            EXPECT_TRUE(inMemory == staged);
        }
    }
    CExprDatabase db;
    EXPECT_EQ(ExportDelimitedTo(book, db, all, ',', [](std::string_view) { return false; }),
              kExportWriteFailed);

    // Into a file: the generated delimited files, byte for byte.
    fileio::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(m_dir.File("book.csv")));
    EXPECT_EQ(ExportDelimitedToWriter(book, db, all, ',', writer), kBookSize + 1);
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(testing::ReadBytes(m_dir.File("book.csv")) ==
                bench::MakeDelimitedText(kBookSize, bench::kDefaultSeed, ','));
}

// Imports `text` both ways (and from a file read in blocks of every size
// given) and checks that they agree; returns the count.
int ImportBothWays(const std::string& what, const std::string& bytes, const ColumnMapping& columns,
                   bool tabs, const testing::TempDir& dir) {
    const std::string_view white = tabs ? kTabWhite : kCommaWhite;
    const std::string_view breaks = tabs ? kTabBreaks : kCommaBreaks;
    const std::string path = dir.File("import.txt");
    testing::WriteBytes(path, bytes);

    std::string text;
    EXPECT_TRUE(ReadDelimitedFile(path, text));
    CExprDatabase db;
    VectorAddressList whole;
    const int count = ImportDelimitedText(text, columns, white, breaks, db);
    LoadEntriesFromClauses(db, whole);

    VectorAddressList fromText;
    StagedEntries staged;
    EXPECT_EQ(ImportDelimitedEntries(text, columns, white, breaks, db, staged), count) << what;
    EXPECT_EQ(staged.announcedRows, count) << what;
    LoadStagedEntries(staged, fromText);
    EXPECT_EQ(testing::Describe(fromText), testing::Describe(whole)) << what;

    // Tiny blocks cut every line and every character; large texts take
    // blocks that still cut many lines.
    const std::vector<std::size_t> blocks = bytes.size() > 10000
                                                ? std::vector<std::size_t>{61, 4096, 0}
                                                : std::vector<std::size_t>{1, 3, 64, 0};
    for (std::size_t block : blocks) {
        CDelimitedTextFile::SetBlockSizeForTesting(block);
        CDelimitedTextFile file;
        EXPECT_TRUE(file.Open(path)) << what;
        EXPECT_EQ(file.FirstLine(), FirstLine(text)) << what << " block " << block;
        VectorAddressList fromFile;
        EXPECT_EQ(ImportDelimitedEntries(file, columns, white, breaks, db, staged), count)
            << what << " block " << block;
        LoadStagedEntries(staged, fromFile);
        EXPECT_EQ(testing::Describe(fromFile), testing::Describe(whole))
            << what << " block " << block;
        EXPECT_EQ(db.CountClauses(), 0);
    }
    CDelimitedTextFile::SetBlockSizeForTesting(0);
    return count;
}

TEST_F(Streaming, ImportGivesTheEntriesOfTheStagedImport) {
    ColumnMapping all{};
    for (int i = 0; i < kFieldCount; ++i) {
        all[static_cast<std::size_t>(i)] = i + 1;
    }
    const auto lastFirst = Columns({{LastName, 1}, {FirstName, 2}});
    struct Case {
        const char* name;
        std::string bytes;
        ColumnMapping columns;
        bool tabs;
        int count;
    };
    const Case cases[] = {
        {"generated csv", bench::MakeDelimitedText(kBookSize, bench::kDefaultSeed, ','), all, false,
         kBookSize + 1},
        {"generated tdf", bench::MakeDelimitedText(kBookSize, bench::kDefaultSeed, '\t'), all, true,
         kBookSize + 1},
        {"empty lines", "\n\na\n\r\n\nb", Columns({{LastName, 1}}), false, 2},
        {"lone cr", "a\rb,c\nd\r", Columns({{LastName, 1}}), false, 2},
        {"crlf", "Smith,Ann\r\nJones\r\n", lastFirst, false, 2},
        {"no columns", "a,b\n", ColumnMapping{}, false, 0},
        {"beyond", "a\tb\n", Columns({{LastName, 7}}), true, 0},
        {"long line", std::string(5000, 'x') + "," + std::string(3000, 'y') + "\n", lastFirst,
         false, 1},
        {"bom",
         "\xEF\xBB\xBF"
         "Doe,x\r\n",
         lastFirst, false, 1},
        {"windows-1252", "M\xFCller,x\n", lastFirst, false, 1},
        {"late stray byte", std::string(3000, 'a') + "\n\xE9\n", lastFirst, false, 2},
        {"utf-16",
         std::string("\xFF\xFE"
                     "a\0,\0x\0",
                     8),
         lastFirst, false, 1},
        {"bom only", "\xEF\xBB\xBF", lastFirst, false, 0},
        {"quotes", "\"Smith, John\",x\n\"a\"\"b\",c\n", lastFirst, false, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ImportBothWays(c.name, c.bytes, c.columns, c.tabs, m_dir), c.count) << c.name;
    }

    CDelimitedTextFile file;
    EXPECT_FALSE(file.Open(m_dir.File("missing.csv")));
    EXPECT_EQ(file.ErrorText(), "No such file or directory");
    EXPECT_FALSE(file.FirstLine());
    testing::WriteBytes(m_dir.File("empty.csv"), "");
    ASSERT_TRUE(file.Open(m_dir.File("empty.csv")));
    EXPECT_EQ(file.FirstLine(), std::nullopt);
}

}  // namespace
}  // namespace addressbook
