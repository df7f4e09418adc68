#include "addresslist/column_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "list_test_support.h"
#include "settings/settings_keys.h"

namespace addresslist {
namespace {

using testing::TempSettings;

// "first,first+1,...": `count` numbers joined by `separator`.
std::string Numbers(int count, int first = 0, const std::string& separator = ",") {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += (i > 0 ? separator : "") + std::to_string(first + i);
    }
    return text;
}

struct ParseCase {
    const char* name;
    std::string text;
    bool complete;
    int value0 = 0;
    int value31 = 0;
};

TEST(ColumnLayoutTest, ReadsThirtyTwoNumbersLikeTheScanPattern) {
    const ParseCase cases[] = {
        {"exactly 32", Numbers(32), true, 0, 31},
        {"31 numbers", Numbers(31), false},
        {"empty", "", false},
        {"blanks before numbers", " 5,\t6," + Numbers(30, 7, ", "), true, 5, 36},
        {"blank before a comma", "5 ," + Numbers(31, 6), false},
        {"trailing text ignored", Numbers(32) + "junk", true, 0, 31},
        {"trailing comma ignored", Numbers(32) + ",", true, 0, 31},
        {"33 numbers", Numbers(33), true, 0, 31},
        {"signs", "-5,+7," + Numbers(30, 2), true, -5, 31},
        {"sign without digits", "-," + Numbers(31), false},
        {"letters in the middle", Numbers(10) + ",x," + Numbers(21), false},
        {"huge value clamped", "99999999999," + Numbers(31, 1), true, INT_MAX, 31},
        {"huge negative clamped", "-99999999999," + Numbers(31, 1), true, INT_MIN, 31},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto values = ParseColumnValues(c.text);
        ASSERT_EQ(values.has_value(), c.complete);
        if (c.complete) {
            EXPECT_EQ((*values)[0], c.value0);
            EXPECT_EQ((*values)[31], c.value31);
        }
    }
}

TEST(ColumnLayoutTest, OrderOutsideTheFieldRangeIsRejected) {
    EXPECT_TRUE(ParseColumnOrder(Numbers(32)).has_value());
    EXPECT_TRUE(ParseColumnOrder("0,0," + Numbers(30, 2)).has_value());  // repeats are harmless
    EXPECT_FALSE(ParseColumnOrder("32," + Numbers(31, 1)).has_value());
    EXPECT_FALSE(ParseColumnOrder(Numbers(31) + ",-1").has_value());
}

TEST(ColumnLayoutTest, FormatsAndReadsBack) {
    EXPECT_EQ(FormatColumnValues(std::vector<int>{1, -2, 300}), "1,-2,300");
    EXPECT_EQ(FormatColumnValues(std::vector<int>{}), "");
    ColumnValues widths = kDefaultColumnWidths;
    widths[31] = -4;
    EXPECT_EQ(ParseColumnValues(FormatColumnValues(widths)), widths);
}

struct LayoutCase {
    const char* name;
    int rememberCol;  // -1: key absent
    int rememberPos;
    const char* sizes;  // nullptr: key absent
    const char* order;
    bool storedWidths;
    bool storedOrder;
};

TEST(ColumnLayoutTest, ReadsTheRememberedLayout) {
    const std::string sizes = Numbers(32, 10);
    const std::string order = "6," + Numbers(6) + "," + Numbers(25, 7);
    const std::string shortOrder = Numbers(31);
    const std::string badOrder = "40," + Numbers(31, 1);
    const LayoutCase cases[] = {
        {"no Columns section", -1, -1, nullptr, nullptr, false, false},
        {"both stored", -1, -1, sizes.c_str(), order.c_str(), true, true},
        {"RememberCol off", 0, 1, sizes.c_str(), order.c_str(), false, true},
        {"RememberPos off", 1, 0, sizes.c_str(), order.c_str(), true, false},
        {"Order of 31 numbers", 1, 1, sizes.c_str(), shortOrder.c_str(), true, false},
        {"Order out of range", 1, 1, sizes.c_str(), badOrder.c_str(), true, false},
        {"Sizes of 31 numbers", 1, 1, shortOrder.c_str(), order.c_str(), false, true},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempSettings temp;
        auto& store = temp.Store();
        if (c.rememberCol >= 0) {
            settings::Write(store, settings::kRememberCol, c.rememberCol);
        }
        if (c.rememberPos >= 0) {
            settings::Write(store, settings::kRememberPos, c.rememberPos);
        }
        if (c.sizes != nullptr) {
            settings::Write(store, settings::kColumnSizes, c.sizes);
        }
        if (c.order != nullptr) {
            settings::Write(store, settings::kColumnOrder, c.order);
        }
        const ColumnLayout layout = ReadColumnLayout(store);
        EXPECT_EQ(layout.widths, c.storedWidths ? *ParseColumnValues(sizes) : kDefaultColumnWidths);
        EXPECT_EQ(layout.order, c.storedOrder ? *ParseColumnValues(order) : IdentityColumnOrder());
    }
}

}  // namespace
}  // namespace addresslist
