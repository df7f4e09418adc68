#include <gtest/gtest.h>

#include <cerrno>
#include <random>

#include "addressbook/book_file.h"
#include "fileio/atomic_file.h"
#include "support/book_generator.h"
#include "test_support.h"

namespace addressbook {
namespace {

using clausedb::CExprDatabase;
using clausedb::CExprTerm;
using fileio::AtomicFileWriter;
using testing::Describe;
using testing::FieldValues;

const char kDoeBook[] =
    "contact('LastName' = \"Doe\",\n"
    "  'FirstName' = \"Jane\",\n"
    "  'MiddleInitial' = \"\",\n"
    "  'Title' = \"\",\n"
    "  'Address1' = \"\",\n"
    "  'Address2' = \"\",\n"
    "  'City' = \"Springfield\",\n"
    "  'Country' = \"\",\n"
    "  'State' = \"\",\n"
    "  'ZipCode' = \"\",\n"
    "  'Company' = \"\",\n"
    "  'Department' = \"\",\n"
    "  'Position' = \"\",\n"
    "  'Manager' = \"\",\n"
    "  'Additional1' = \"\",\n"
    "  'Additional2' = \"\",\n"
    "  'HomePhone' = \"555-0100\",\n"
    "  'HomeExt' = \"\",\n"
    "  'WorkPhone' = \"\",\n"
    "  'WorkExt' = \"\",\n"
    "  'CellPhone' = \"\",\n"
    "  'CellExt' = \"\",\n"
    "  'Pager' = \"\",\n"
    "  'PagerCard' = \"\",\n"
    "  'PagerExt' = \"\",\n"
    "  'FaxPhone' = \"\",\n"
    "  'FaxExt' = \"\",\n"
    "  'Email1' = \"\",\n"
    "  'Email2' = \"\",\n"
    "  'Web1' = \"\",\n"
    "  'Web2' = \"\",\n"
    "  'Notes' = \"Met at \\\"Expo\\\" 1997\").\n"
    "\n";

const FieldValues kDoe = {{LastName, "Doe"},
                          {FirstName, "Jane"},
                          {City, "Springfield"},
                          {HomePhone, "555-0100"},
                          {Notes, "Met at \"Expo\" 1997"}};

// Opens `text` into `list` as the program opens a book; false when refused.
bool Open(std::string_view text, VectorAddressList& list) {
    CExprDatabase db;
    StagedEntries staged;
    if (!ReadBookText(db, text, staged)) {
        return false;
    }
    EXPECT_EQ(db.CountClauses(), 0);
    LoadEntries(staged, list);
    return true;
}

TEST(BookFile, WritesTheDoeExampleAndReadsItBack) {
    testing::TempDir dir;
    const std::string path = dir.File("doe.qxd");
    VectorAddressList list;
    testing::AppendEntries(list, {kDoe});
    CExprDatabase db;
    ASSERT_TRUE(SaveBook(list, db, path));
    EXPECT_EQ(db.CountClauses(), 0);
    std::string onDisk;  // every LF written as CR LF
    for (char ch : std::string(kDoeBook)) {
        onDisk += ch == '\n' ? "\r\n" : std::string(1, ch);
    }
    EXPECT_EQ(testing::ReadBytes(path), onDisk);

    StagedEntries staged;
    ASSERT_TRUE(ReadBook(db, path, staged));
    VectorAddressList loaded;
    EXPECT_EQ(LoadEntries(staged, loaded), 1);
    EXPECT_EQ(Describe(loaded), Describe({kDoe}));
    EXPECT_TRUE(staged.entries.empty());

    // An empty list gives an empty file, which reads back as no entries.
    ASSERT_TRUE(SaveBook(VectorAddressList(), db, path));
    EXPECT_EQ(testing::ReadBytes(path), "");
    ASSERT_TRUE(ReadBook(db, path, staged));
    EXPECT_EQ(LoadEntries(staged, loaded), 0);
}

TEST(BookFile, LoadMapsClausesToEntries) {
    struct Case {
        const char* text;
        std::vector<FieldValues> entries;
    };
    const Case cases[] = {
        {"contact('Notes' = \"n\", 'City' = \"Oslo\").", {{{City, "Oslo"}, {Notes, "n"}}}},
        {"contact().", {{}}},
        {"contact('LastName' = \"A\"). person('LastName' = \"B\"). Contact(). [contact]. "
         "contact('LastName' = \"D\").",
         {{{LastName, "A"}}, {}, {{LastName, "D"}}}},  // [contact] has the functor contact
        {"contact('LastName' = \"first\", 'LastName' = \"second\").", {{{LastName, "first"}}}},
        {"contact('LastName' = 7, 'LastName' = \"x\", 'City' = [a], 'Title' = 1.5).", {{}}},
        {"contact(LastName = doe, 'FirstName' = 'Jane Q').",
         {{{LastName, "doe"}, {FirstName, "Jane Q"}}}},
        {"contact(lastname = \"x\", 'Last Name' = \"y\", junk, [LastName, \"z\"]).", {{}}},
        {"contact('Notes' = \" two\nlines \\\\\").", {{{Notes, " two\nlines \\"}}}},
    };
    for (const Case& c : cases) {
        VectorAddressList list;
        ASSERT_TRUE(Open(c.text, list)) << c.text;
        EXPECT_EQ(Describe(list), Describe(c.entries)) << c.text;
    }
}

TEST(BookFile, RefusedRowStopsTheLoad) {
    CExprDatabase db;
    StagedEntries staged;
    ASSERT_TRUE(
        ReadBookText(db, "contact('LastName' = \"A\"). other(). contact(). contact().", staged));
    EXPECT_EQ(staged.announcedRows, 4);  // every clause read
    struct CountingList : VectorAddressList {
        bool AppendEntry(std::unique_ptr<CAddressEntry> entry) override {
            ++calls;
            return VectorAddressList::AppendEntry(std::move(entry));
        }
        int calls = 0;
    } list;
    testing::AppendEntries(list, {{{LastName, "old"}}});
    list.SetRowLimit(2);
    EXPECT_EQ(LoadEntries(staged, list), 1);
    EXPECT_EQ(list.calls, 3);  // nothing is offered after the refused row
    EXPECT_EQ(Describe(list), Describe({{{LastName, "old"}}, {{LastName, "A"}}}));
    EXPECT_EQ(list.ReservedRows(), 4);
    EXPECT_TRUE(staged.entries.empty());  // emptied all the same
    EXPECT_TRUE(list.IsRedrawOn());
    EXPECT_EQ(list.ResortCount(), 1);
}

// A book with any error, or one that cannot be read, shows none of its
// entries; each error is given with its line.
TEST(BookFile, OpenRefusesABookWithErrorsAndSaysWhere) {
    using clausedb::SyntaxError;
    const std::string doe = "contact('LastName' = \"Doe\", 'City' = \"Oslo\").\r\n\r\n";
    const FieldValues doeFields = {{LastName, "Doe"}, {City, "Oslo"}};
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<FieldValues> entries;  // when it opens
        std::vector<SyntaxError> errors;
    };
    const Case cases[] = {
        {"empty", "", {}, {}},
        {"other functors",
         "person(a = \"x\").\r\n" + doe + "[contact].\r\nx.\r\n" + doe,
         {doeFields, {}, doeFields},
         {}},
        {"windows-1252",
         "contact('City' = \"Z\xFC"
         "rich\").\r\n",
         {{{City,
            "Z\xC3\xBC"
            "rich"}}},
         {}},
        {"bad middle",
         doe + "contact(,).\r\n\r\n" + doe + "g(.\r\n" + doe,
         {},
         {{3, "syntax error"},
          {3, "Unrecognized command."},
          {7, "syntax error"},
          {7, "Unrecognized command."}}},
        {"bad last", doe + doe + "contact('LastName' = \"cut", {}, {{5, "syntax error"}}},
        {"stray byte",
         doe + ";\r\n" + doe,
         {},
         {{3, "syntax error"}, {4, "Unrecognized command."}}},
        {"utf-16",
         std::string("\xFF\xFE"
                     "x\0.\0;\0",
                     8),
         {},
         {{1, "syntax error"}}},
    };
    testing::TempDir dir;
    const std::string path = dir.File("book.qxd");
    for (const Case& c : cases) {
        testing::WriteBytes(path, c.bytes);
        clausedb::ParseErrors errors;
        CExprDatabase db;
        StagedEntries staged;
        const bool ok = ReadBook(db, path, staged, &errors);
        EXPECT_EQ(ok, c.errors.empty()) << c.name;
        EXPECT_EQ(errors.Errors(), c.errors) << c.name;
        EXPECT_EQ(db.ErrorCount(), static_cast<int>(c.errors.size())) << c.name;
        EXPECT_EQ(db.CountClauses(), 0) << c.name;
        EXPECT_TRUE(db.LastFileError().empty()) << c.name;
        VectorAddressList list;
        LoadEntries(staged, list);
        EXPECT_EQ(Describe(list), Describe(c.entries)) << c.name;
    }

    clausedb::ParseErrors errors;
    CExprDatabase db;
    StagedEntries staged;
    EXPECT_FALSE(ReadBook(db, dir.File("missing.qxd"), staged, &errors));
    EXPECT_EQ(db.LastFileErrno(), ENOENT);
    EXPECT_EQ(db.LastFileError(), "No such file or directory");
    EXPECT_EQ(errors.Count(), 0);
}

TEST(BookFile, FailedSaveKeepsTheOldFile) {
    testing::TempDir dir;
    const std::string path = dir.File("book.qxd");
    VectorAddressList list;
    testing::AppendEntries(list, {kDoe, {{LastName, "Roe"}}});
    testing::WriteBytes(path, "old");
    CExprDatabase db;
    AtomicFileWriter::SetFailAfterBytesForTesting(10);
    EXPECT_FALSE(SaveBook(list, db, path));
    AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_EQ(db.LastFileErrno(), ENOSPC);
    EXPECT_EQ(db.LastFileError(), "No space left on device");
    EXPECT_EQ(db.CountClauses(), 0);
    EXPECT_EQ(testing::ReadBytes(path), "old");

    EXPECT_FALSE(SaveBook(list, db, dir.File("no/such/folder/book.qxd")));
    EXPECT_EQ(db.LastFileErrno(), ENOENT);
}

// The generated book: saved byte for byte as the generator writes it, and
// read and saved with the database holding no clause afterwards.
TEST(BookFile, GeneratedBookRoundTripsThroughTheStore) {
    constexpr int kCount = 1000;
    const std::string onDisk = bench::MakeBookText(kCount, bench::kDefaultSeed, true);
    testing::TempDir dir;
    testing::WriteBytes(dir.File("in.qxd"), onDisk);
    CExprDatabase db;
    StagedEntries staged;
    ASSERT_TRUE(ReadBook(db, dir.File("in.qxd"), staged));
    EXPECT_EQ(db.CountClauses(), 0);
    EXPECT_EQ(db.Store().BytesReserved(), 0u);
    VectorAddressList list;
    ASSERT_EQ(LoadEntries(staged, list), kCount);
    ASSERT_TRUE(SaveBook(list, db, dir.File("out.qxd")));
    EXPECT_EQ(db.Store().BytesReserved(), 0u);
    EXPECT_TRUE(testing::ReadBytes(dir.File("out.qxd")) == onDisk);
}

// GetFieldTexts walks a clause once; it must agree with GetAttributeText for
// every field, on clauses of every shape.
TEST(BookFile, FieldTextsMatchGetAttributeText) {
    std::mt19937 random(2024);
    const char* const words[] = {"=", "=", "==", "=x", "", "LastName", "Notes", "lastname", "City"};
    auto word = [&] { return words[random() % std::size(words)]; };
    CExprDatabase db;
    clausedb::CExprStore& store = db.Store();
    for (int round = 0; round < 500; ++round) {
        CExprTerm clause = db.NewClause("contact");
        db.AddClause(clause);
        for (int e = static_cast<int>(random() % 12); e > 0; --e) {
            CExprTerm pair = store.NewList();
            const int parts = static_cast<int>(random() % 5);
            for (int p = 0; p < parts; ++p) {
                const unsigned kind = random() % 10;
                pair.AddElement(p < 2
                                    ? (kind == 0 ? store.NewString(word()) : store.NewWord(word()))
                                : kind < 4 ? store.NewString(std::to_string(kind))
                                : kind < 7 ? store.NewWord("w")
                                : kind < 8 ? store.NewInteger(1)
                                           : store.NewList());
            }
            clause.AddElement(random() % 10 == 0 ? store.NewWord("loose") : pair);
        }
        std::array<std::string_view, kFieldCount> texts;
        GetFieldTexts(clause, texts);
        for (int i = 0; i < kFieldCount; ++i) {
            std::string expected;
            clause.GetAttributeText(FieldAt(i).attribute, expected);
            ASSERT_EQ(texts[i], expected) << "round " << round << " field " << i;
        }
    }
}

}  // namespace
}  // namespace addressbook
