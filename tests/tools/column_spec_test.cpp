#include <gtest/gtest.h>

#include "column_spec.h"
#include "json_lines.h"

using quillbox::tool::AppendJsonString;
using quillbox::tool::ColumnMapping;
using quillbox::tool::ParseColumnSpec;

TEST(ColumnSpec, NamedFieldsGetTheirColumnsAndOthersZero) {
    ColumnMapping columns;
    std::string error;
    ASSERT_TRUE(ParseColumnSpec("LastName=1, FirstName=2,Email1=4,Notes=-3", columns, error));
    EXPECT_EQ(columns[0], 1);
    EXPECT_EQ(columns[1], 2);
    EXPECT_EQ(columns[27], 4);
    EXPECT_EQ(columns[31], -3);
    EXPECT_EQ(columns[2], 0);
    EXPECT_EQ(columns[30], 0);
}

TEST(ColumnSpec, RefusesWhatItCannotMeanWithAReason) {
    struct Case {
        const char* spec;
        const char* reasonContains;
    };
    const Case cases[] = {
        {"Surname=1", "unknown attribute 'Surname'"},
        {"lastname=1", "unknown attribute"},  // names are case-sensitive, as in the book file
        {"LastName=one", "bad column number"},
        {"LastName=1x", "bad column number"},
        {"LastName=", "bad column number"},
        {"LastName", "expected Attribute=N"},
        {"", "empty"},
    };
    for (const Case& c : cases) {
        ColumnMapping columns;
        std::string error;
        EXPECT_FALSE(ParseColumnSpec(c.spec, columns, error)) << c.spec;
        EXPECT_NE(error.find(c.reasonContains), std::string::npos) << c.spec << " -> " << error;
    }
}

TEST(JsonLines, EscapesWhatJsonRequiresAndPassesUtf8Through) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "\"plain\""},
        {"say \"hi\" \\ bye", "\"say \\\"hi\\\" \\\\ bye\""},
        {"a\r\nb\tc", "\"a\\r\\nb\\tc\""},
        {std::string("nul\0x", 5), "\"nul\\u0000x\""},
        {"\x1f", "\"\\u001f\""},
        {"Zo\xC3\xAB \xE5\x8C\x97", "\"Zo\xC3\xAB \xE5\x8C\x97\""},
    };
    for (const auto& [text, expected] : cases) {
        std::string out;
        AppendJsonString(out, text);
        EXPECT_EQ(out, expected);
    }
}
