// The RFC 4180 reader, and the quote tracking that lets the plain rules read
// a quoted value across lines.
#include "addressbook/rfc4180.h"

#include <gtest/gtest.h>

#include "addressbook/delimited_token.h"

namespace addressbook {
namespace {

using Records = std::vector<std::vector<std::string>>;

TEST(Rfc4180Reader, ReadsRecords) {
    struct Case {
        const char* name;
        std::string text;
        Records records;
        char separator = ',';
    };
    const Case cases[] = {
        {"plain", "a,b,c\r\nd,e,f\r\n", {{"a", "b", "c"}, {"d", "e", "f"}}},
        {"separator in quotes", "\"Smith, Ann\",x", {{"Smith, Ann", "x"}}},
        {"doubled quotes", "\"say \"\"hi\"\"\",\"\"\"\"", {{"say \"hi\"", "\""}}},
        {"empty quoted", "\"\",a", {{"", "a"}}},
        {"CR LF inside", "\"12 Elm St\r\nApt 4\",x\r\ny\r\n", {{"12 Elm St\nApt 4", "x"}, {"y"}}},
        {"LF inside", "\"a\nb\"\nc", {{"a\nb"}, {"c"}}},
        {"empty lines inside", "\"a\r\n\r\nb\"", {{"a\n\nb"}}},
        {"no final line end", "a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"final CR without LF", "a,b\r", {{"a", "b"}}},
        {"final CR after a quote", "\"a\"\r", {{"a"}}},
        {"CR inside quotes at the end", "\"a\r\"", {{"a\r"}}},
        {"unclosed quote at the end", "a,\"b\r\nc,d", {{"a", "b\nc,d"}}},
        {"empty line", "a\r\n\r\nb", {{"a"}, {""}, {"b"}}},
        {"trailing separator", "a,b,", {{"a", "b", ""}}},
        {"text after the closing quote", "\"ab\"cd,e", {{"abcd", "e"}}},
        {"quote inside an unquoted field", "ab\"cd,e", {{"ab\"cd", "e"}}},
        {"space before a quote", " \"a\",b", {{" \"a\"", "b"}}},
        {"tabs", "a\t\"b\tc\"\t,d", {{"a", "b\tc", ",d"}}, '\t'},
        {"lone CR inside a field", "a\rb,c", {{"a\rb", "c"}}},
        {"nothing", "", {}},
        {"UTF-8", "\"Z\xC3\xBCrich\",\xE4\xB8\xAD", {{"Z\xC3\xBCrich", "\xE4\xB8\xAD"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadRfc4180Records(c.text, c.separator), c.records) << c.name;
    }
}

TEST(Rfc4180Reader, ReportsWhereARecordGoesOnAndFinishesAnOpenOne) {
    CRfc4180Reader reader(',');
    EXPECT_TRUE(reader.AddLine("a,b"));
    EXPECT_FALSE(reader.Finish());
    EXPECT_FALSE(reader.AddLine("\"x"));
    EXPECT_TRUE(reader.InQuote());
    EXPECT_FALSE(reader.AddLine("y\"\"z"));
    EXPECT_TRUE(reader.Finish());
    ASSERT_EQ(reader.FieldCount(), 1u);
    EXPECT_EQ(reader.Fields()[0], "x\ny\"z");
    // The reused strings of a longer record do not leak into a shorter one.
    EXPECT_TRUE(reader.AddLine("1,2,3"));
    EXPECT_TRUE(reader.AddLine("4"));
    ASSERT_EQ(reader.FieldCount(), 1u);
    EXPECT_EQ(reader.Fields()[0], "4");
}

TEST(OpenQuoteAtEnd, FollowsTheSplittersQuotesAndEscapes) {
    struct Case {
        const char* line;
        char open;
        char expected;
    };
    const Case cases[] = {
        {"\"a\",\"b\",", '\0', '\0'},
        {"\"a,b", '\0', '"'},
        {"b\",c", '"', '\0'},
        {"x\"y", '\0', '"'},
        {"\"a\\\"b", '\0', '"'},
        {"\\\"a", '\0', '\0'},
        {"a\\", '"', '"'},
        {"", '"', '"'},
        {"\\\\\"", '\0', '"'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenQuoteAtEnd(c.line, c.open, kImportQuotes, kImportEscape), c.expected)
            << c.line;
    }
}

}  // namespace
}  // namespace addressbook
