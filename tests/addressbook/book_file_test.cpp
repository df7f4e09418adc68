#include <gtest/gtest.h>

#include <random>

#include "addressbook/book_file.h"
#include "fileio/atomic_file.h"
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

TEST(BookFile, WritesTheDoeExampleAndReadsItBack) {
    testing::TempDir dir;
    const std::string path = dir.File("doe.qxd");
    VectorAddressList list;
    testing::AppendEntries(list, {kDoe});
    CExprDatabase db;
    ASSERT_TRUE(WriteBook(list, db, path));
    EXPECT_EQ(db.CountClauses(), 0);
    std::string onDisk;  // every LF written as CR LF
    for (char ch : std::string(kDoeBook)) {
        onDisk += ch == '\n' ? "\r\n" : std::string(1, ch);
    }
    EXPECT_EQ(testing::ReadBytes(path), onDisk);

    ASSERT_TRUE(ReadBook(db, path));
    VectorAddressList loaded;
    EXPECT_EQ(LoadEntriesFromClauses(db, loaded), 1);
    EXPECT_EQ(Describe(loaded), Describe({kDoe}));

    // An empty list gives an empty file, which reads back as no entries.
    ASSERT_TRUE(WriteBook(VectorAddressList(), db, path));
    EXPECT_EQ(testing::ReadBytes(path), "");
    ASSERT_TRUE(ReadBook(db, path));
    EXPECT_EQ(LoadEntriesFromClauses(db, loaded), 0);
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
        CExprDatabase db;
        ASSERT_TRUE(db.ReadText(c.text)) << c.text;
        VectorAddressList list;
        EXPECT_EQ(LoadEntriesFromClauses(db, list), static_cast<int>(c.entries.size()));
        EXPECT_EQ(Describe(list), Describe(c.entries)) << c.text;
        EXPECT_EQ(db.CountClauses(), 0);
    }
}

TEST(BookFile, RefusedRowStopsTheLoad) {
    CExprDatabase db;
    ASSERT_TRUE(db.ReadText("contact('LastName' = \"A\"). contact(). contact()."));
    struct CountingList : VectorAddressList {
        bool AppendEntry(std::unique_ptr<CAddressEntry> entry) override {
            ++calls;
            return VectorAddressList::AppendEntry(std::move(entry));
        }
        int calls = 0;
    } list;
    testing::AppendEntries(list, {{{LastName, "old"}}});
    list.SetRowLimit(2);
    EXPECT_EQ(LoadEntriesFromClauses(db, list), 1);
    EXPECT_EQ(list.calls, 3);  // nothing is offered after the refused row
    EXPECT_EQ(Describe(list), Describe({{{LastName, "old"}}, {{LastName, "A"}}}));
    EXPECT_EQ(list.ReservedRows(), 3);
    EXPECT_EQ(db.CountClauses(), 0);  // emptied all the same
    EXPECT_TRUE(list.IsRedrawOn());
    EXPECT_EQ(list.ResortCount(), 1);
}

TEST(BookFile, FailuresKeepTheOldFile) {
    testing::TempDir dir;
    const std::string path = dir.File("book.qxd");
    VectorAddressList list;
    testing::AppendEntries(list, {kDoe, {{LastName, "Roe"}}});
    testing::WriteBytes(path, "old");
    CExprDatabase db;
    AtomicFileWriter::SetFailAfterBytesForTesting(10);
    EXPECT_FALSE(WriteBook(list, db, path));
    AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_EQ(db.CountClauses(), 2);  // kept until the next use
    EXPECT_EQ(testing::ReadBytes(path), "old");

    EXPECT_FALSE(ReadBook(db, path));  // a syntax error
    EXPECT_EQ(db.CountClauses(), 0);
    EXPECT_FALSE(ReadBook(db, dir.File("missing.qxd")));
    EXPECT_FALSE(db.LastFileError().empty());
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
