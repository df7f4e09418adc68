#include <gtest/gtest.h>

#include "addressbook/delimited_token.h"

namespace addressbook {
namespace {

TEST(NextDelimitedToken, SplitsLines) {
    const std::string longField(5000, 'w');
    struct Case {
        bool tabSets;  // false: white = tab, break = ","; true: white = space, break = tab
        std::string line;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {false, "", {}},
        {false, "a,,b", {"a", "", "b"}},
        {false, ",a", {"", "a"}},
        {false, "a,b,", {"a", "b"}},
        {false, " a ,b", {" a ", "b"}},
        {false, "a\tb,c", {"a", "b", "c"}},
        {false, "\t", {""}},
        {false, "\"Smith, John\",x", {"Smith, John", "x"}},
        {false, "\"a\"\"b\"", {"a", "b"}},
        {false, "ab\"cd\"", {"ab", "cd"}},
        {false, "\"ab\"cd,e", {"ab", "cd", "e"}},
        {false, "\"a b\" x", {"a b", " x"}},
        {false, "\"open, quote", {"open, quote"}},
        {false, "a\\,b", {"a,b"}},
        {false, "\"x\\\"y\"", {"x\"y"}},
        {false, "ab\\", {"ab\\"}},
        {false, "\"a\"\\", {"a\\"}},
        {false, "\"a\"\\b", {"a", "b"}},
        {false, "\\\"a\"", {"\"a", ""}},
        {false, "M\xC3\xBCller,Zo\xC3\xAB", {"M\xC3\xBCller", "Zo\xC3\xAB"}},
        {false, longField + ",x", {longField, "x"}},
        {true, "John Smith\tx", {"John", "Smith", "x"}},
        {true, "\"John Smith\"\tx", {"John Smith", "x"}},
        {true, "a\t\tb", {"a", "", "b"}},
        {true, "\"a\"\t\"\"\t\"c\"\t", {"a", "", "c"}},
        {true, "x\\ y", {"x y"}},
        {false, "\"a\"\t\\", {"a\\"}},
        {false, "ab\t\\x,c", {"ab", "x", "c"}},
        {false, "\t\"a,b\"\t,\tc\t", {"a,b", "c"}},
        {false, "ab\"c", {"ab", "c"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> fields;
        std::size_t position = 0;
        while (auto token = NextDelimitedToken(
                   c.line, position, c.tabSets ? kTabWhite : kCommaWhite,
                   c.tabSets ? kTabBreaks : kCommaBreaks, kImportQuotes, kImportEscape)) {
            fields.push_back(*token);
        }
        EXPECT_EQ(fields, c.fields) << c.line.substr(0, 40);
        EXPECT_EQ(position, c.line.size());

        // The splitter's views, into the line or the scratch text, agree.
        const CDelimitedSplitter splitter(c.tabSets ? kTabWhite : kCommaWhite,
                                          c.tabSets ? kTabBreaks : kCommaBreaks, kImportQuotes,
                                          kImportEscape);
        std::string_view view;
        std::string scratch;
        fields.clear();
        for (position = 0; splitter.NextView(c.line, position, view, scratch);) {
            fields.emplace_back(view);
        }
        EXPECT_EQ(fields, c.fields) << c.line.substr(0, 40);
        EXPECT_EQ(position, c.line.size());

        // Several views per call, two at a time: the same again.
        std::vector<std::string_view> pair(2);
        std::vector<std::string> pairScratch(2);
        fields.clear();
        position = 0;
        for (;;) {
            const std::size_t count = splitter.NextViews(c.line, position, pair, pairScratch);
            fields.insert(fields.end(), pair.begin(), pair.begin() + static_cast<long>(count));
            if (count < pair.size()) {
                break;
            }
        }
        EXPECT_EQ(fields, c.fields) << c.line.substr(0, 40);
        EXPECT_EQ(position, c.line.size());
    }
}

}  // namespace
}  // namespace addressbook
