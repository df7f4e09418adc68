#include <gtest/gtest.h>

#include "addressbook/book_file.h"
#include "addressbook/delimited_import.h"
#include "addressbook/delimited_token.h"
#include "test_support.h"

namespace addressbook {
namespace {

using testing::Columns;

// The attributes of each staged clause as "Name=text", in clause order.
std::vector<std::vector<std::string>> Staged(const clausedb::CExprDatabase& db) {
    std::vector<std::vector<std::string>> clauses;
    db.ForEachClause([&](clausedb::CExprTerm clause) {
        EXPECT_EQ(clause.GetFunctor(), "contact");
        clauses.emplace_back();
        for (auto pair = clause.First().Next(); pair; pair = pair.Next()) {
            auto name = pair.First().Next();
            clauses.back().push_back(std::string(name.WordOrStringText()) + "=" +
                                     std::string(name.Next().WordOrStringText()));
        }
    });
    return clauses;
}

TEST(ImportDelimitedText, StagesOneClausePerLine) {
    const auto lastFirst = Columns({{LastName, 1}, {FirstName, 2}});
    const std::string longField(3000, 'n');
    struct Case {
        std::string text;
        ColumnMapping columns;
        std::vector<std::vector<std::string>> clauses;
        bool tabSets = false;
    };
    const Case cases[] = {
        {"Smith,Ann\nJones\n",
         lastFirst,
         {{"LastName=Smith", "FirstName=Ann"}, {"LastName=Jones"}}},
        {"a,,b\n", Columns({{LastName, 2}, {City, 3}}), {{"LastName=", "City=b"}}},
        {"x\n", Columns({{LastName, 1}, {Notes, 1}}), {{"LastName=x", "Notes=x"}}},
        {"\n\na\n\r\n\nb", Columns({{LastName, 1}}), {{"LastName=a"}, {"LastName=b"}}},
        {"\t\n", Columns({{LastName, 1}}), {{"LastName="}}},  // white space only: one field
        {"\t\n", Columns({{LastName, 2}}), {}},
        {"a,b\nc\n",
         Columns({{LastName, 0}, {FirstName, -1}, {Title, 3}, {City, 2}}),
         {{"City=b"}}},
        {"LASTNAME,FIRSTNAME\r\nSmith,Ann\r\n",
         lastFirst,
         {{"LastName=LASTNAME", "FirstName=FIRSTNAME"}, {"LastName=Smith", "FirstName=Ann"}}},
        {"a\rb,c\n", Columns({{LastName, 1}}), {{"LastName=a\rb"}}},  // a lone CR is text
        {"a,b,\n", Columns({{LastName, 3}}), {}},
        {"John Smith\tx\n\"John Smith\"\tx\n",
         Columns({{FirstName, 1}, {LastName, 2}}),
         {{"LastName=Smith", "FirstName=John"}, {"LastName=x", "FirstName=John Smith"}},
         true},
        {longField + "," + longField, Columns({{Notes, 2}}), {{"Notes=" + longField}}},
        {"a,b\n", Columns({{LastName, 2000000000}, {FirstName, 1}}), {{"FirstName=a"}}},
        {"a,b\n", ColumnMapping{}, {}},
    };
    for (const Case& c : cases) {
        clausedb::CExprDatabase db;
        db.AddClause(db.NewClause("leftover"));
        const int count =
            ImportDelimitedText(c.text, c.columns, c.tabSets ? kTabWhite : kCommaWhite,
                                c.tabSets ? kTabBreaks : kCommaBreaks, db);
        EXPECT_EQ(count, static_cast<int>(c.clauses.size())) << c.text.substr(0, 40);
        EXPECT_EQ(Staged(db), c.clauses) << c.text.substr(0, 40);
    }
}

TEST(ImportDelimitedText, DecodesFilesAndAppendsRows) {
    testing::TempDir dir;
    struct Case {
        std::string bytes, lastName;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF"
         "Doe,x\r\n",
         "Doe"},
        {"M\xFCller\x80,x\n", "M\xC3\xBCller\xE2\x82\xAC"},  // Windows-1252
        {std::string("\xFF\xFE"
                     "a\0,\0x\0",
                     8),
         "a"},  // UTF-16
    };
    clausedb::CExprDatabase db;
    VectorAddressList list;
    testing::AppendEntries(list, {{{LastName, "old"}}});
    std::vector<testing::FieldValues> expected = {{{LastName, "old"}}};
    for (const Case& c : cases) {
        testing::WriteBytes(dir.File("in.csv"), c.bytes);
        std::string text;
        ASSERT_TRUE(ReadDelimitedFile(dir.File("in.csv"), text));
        ASSERT_EQ(
            ImportDelimitedText(text, Columns({{LastName, 1}}), kCommaWhite, kCommaBreaks, db), 1);
        EXPECT_EQ(FirstLine(text), c.lastName + ",x");
        EXPECT_EQ(LoadEntriesFromClauses(db, list), 1);
        expected.push_back({{LastName, c.lastName}});
    }
    EXPECT_EQ(testing::Describe(list), testing::Describe(expected));

    std::string text, reason;
    EXPECT_FALSE(ReadDelimitedFile(dir.File("missing.csv"), text, &reason));
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_EQ(FirstLine(""), std::nullopt);
    EXPECT_EQ(FirstLine("\r\nx"), "");
}

}  // namespace
}  // namespace addressbook
