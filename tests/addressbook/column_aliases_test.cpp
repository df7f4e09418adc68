// The names of CSV columns: what each means, labels, and Match Columns.
#include "addressbook/column_aliases.h"

#include <gtest/gtest.h>

namespace addressbook {
namespace {

using K = ColumnKind;
using L = LabelType;

TEST(ColumnAliases, NamesAreComparedWithoutCaseSpacesOrPunctuation) {
    EXPECT_EQ(NormalizeColumnName("E-mail 1 - Value"), "email1value");
    EXPECT_EQ(NormalizeColumnName(" Last_NAME "), "lastname");
    EXPECT_EQ(NormalizeColumnName("Straße"), "straße");  // UTF-8 kept
    EXPECT_EQ(NormalizeColumnName("Country/Region"), "countryregion");
}

TEST(ColumnAliases, MeaningOfNames) {
    struct Case {
        const char* name;
        K kind;
        int field;
        int pair = 0;
        K labels = K::kOther;
    };
    const Case cases[] = {
        // This program's own words and captions.
        {"LASTNAME", K::kField, LastName},
        {"M.I.", K::kField, MiddleInitial},
        {"Middle Initial", K::kField, MiddleInitial},
        {"ZIPCODE", K::kAddress, ZipCode},
        {"EMAIL2", K::kEmail, Email2},
        // Other programs, in any spelling.
        {"First Name", K::kField, FirstName},
        {"GIVEN NAME", K::kField, FirstName},
        {"family_name", K::kField, LastName},
        {"E-mail Address", K::kEmail, Email1},
        {"E-mail 2 Address", K::kEmail, Email2},
        {"E-mail 3 Address", K::kEmail, -1},
        {"Mobile Phone", K::kPhone, CellPhone},
        {"Home Phone 2", K::kPhone, -1},
        {"Home Street", K::kAddress, Address1},
        {"Business Street", K::kAddress, -1},
        {"Organization 1 - Name", K::kField, Company},
        {"Manager's Name", K::kField, Manager},
        {"Web Page", K::kWeb, Web1},
        {"Display Name", K::kFullName, -1},
        {"Suffix", K::kNameSuffix, -1},
        {"Birthday", K::kProperty, -1},
        {"Birth Day", K::kProperty, -1},  // the day of Birth Year, Birth Month: see HasBirthParts
        {"Birth Year", K::kBirthPart, -1},
        {"Group Membership", K::kCategories, -1},
        {"E-mail Display Name", K::kEmailName, -1},
        // Numbered pairs, read per row.
        {"Phone 1 - Value", K::kPhone, -1, 1},
        {"Phone 12 - Type", K::kLabel, -1, 12, K::kPhone},
        {"E-mail 2 - Label", K::kLabel, -1, 2, K::kEmail},
        {"E-mail 2 - Value", K::kEmail, -1, 2},
        {"Address 2 - Type", K::kLabel, -1, 2, K::kAddress},
        {"E-mail Type", K::kLabel, -1, 0, K::kEmail},
        // Nothing the program knows.
        {"Spouse", K::kOther, -1},
        {"Phone 1 - Extension", K::kOther, -1},
        {"Organization 2 - Name", K::kOther, -1},
        {"Phone 0 - Value", K::kOther, -1},
        {"", K::kOther, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ColumnMeaning meaning = MeaningOfColumn(c.name);
        EXPECT_EQ(meaning.kind, c.kind);
        EXPECT_EQ(meaning.field, c.field);
        EXPECT_EQ(meaning.pair, c.pair);
        EXPECT_EQ(meaning.labels, c.labels);
    }
    EXPECT_EQ(MeaningOfColumn("Address 1 - Street").part, AddressPart::kStreet);
    EXPECT_EQ(MeaningOfColumn("Business City").type, L::kWork);
    EXPECT_EQ(MeaningOfColumn("Birthday").vcard, "BDAY");
    EXPECT_EQ(MeaningOfColumn("Car Phone").vcard, "car");
}

TEST(ColumnAliases, Labels) {
    struct Case {
        const char* label;
        L type;
        bool generic;
        std::string_view vcard;
    };
    const Case cases[] = {
        {"Mobile", L::kCell, true, "cell"},
        {"* Mobile", L::kCell, true, "cell"},
        {"HOME", L::kHome, true, "home"},
        {"Work", L::kWork, true, "work"},
        {"Work Fax", L::kFax, true, "work,fax"},
        {"Home Fax", L::kFax, true, "home,fax"},
        {"Pager", L::kPager, true, "pager"},
        {"Main", L::kNone, true, ""},
        {"Other", L::kNone, true, ""},
        {"", L::kNone, true, ""},
        {"SMTP", L::kNone, true, ""},
        {"Grandma", L::kNone, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const LabelMeaning meaning = MeaningOfLabel(c.label);
        EXPECT_EQ(meaning.type, c.type);
        EXPECT_EQ(meaning.generic, c.generic);
        EXPECT_EQ(meaning.vcard, c.vcard);
    }
}

TEST(ColumnAliases, MatchColumnsGivesEachFieldItsFirstColumn) {
    const ColumnMapping columns =
        MatchColumns({"First Name", "Last Name", "Business Fax", "Home Fax", "E-mail 1 - Value",
                      "Company", "Spouse", "surname", "Phone 1 - Value"});
    ColumnMapping expected{};
    expected[FirstName] = 1;
    expected[LastName] = 2;
    expected[FaxPhone] = 3;  // Home Fax is read per row: a second fax
    expected[Company] = 6;
    EXPECT_EQ(columns, expected);
    EXPECT_EQ(MatchColumns({}), ColumnMapping{});
}

TEST(ColumnAliases, OwnHeaderWordsAreExact) {
    EXPECT_TRUE(IsOwnHeaderWord("LASTNAME"));
    EXPECT_TRUE(IsOwnHeaderWord("PAGERCARD"));
    EXPECT_FALSE(IsOwnHeaderWord("LastName"));
    EXPECT_FALSE(IsOwnHeaderWord("Last Name"));
    EXPECT_FALSE(IsOwnHeaderWord(""));
}

}  // namespace
}  // namespace addressbook
