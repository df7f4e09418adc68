#include "addresslist/sort_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace addresslist {
namespace {

std::vector<int> PlainStableOrder(const std::vector<std::string>& keys, bool ascending) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
    });
    return order;
}

// The order is that of a plain stable sort of the texts, both ways: keys
// sharing their first eight bytes, one a prefix of another, bytes above 127,
// NUL bytes inside a key, empty keys and many equal keys.
TEST(StableSortOrderTest, MatchesAPlainStableSortOfTheTexts) {
    std::vector<std::string> keys = {"miller",
                                     "mill",
                                     "millerton",
                                     "",
                                     "m\xC3\xBCller",
                                     "miller",
                                     std::string("mil\0l", 5),
                                     "mill",
                                     "zz",
                                     "\xFF",
                                     "abcdefgh",
                                     "abcdefghi",
                                     "abcdefgh\x01",
                                     "abcdefg"};
    std::mt19937 random(42);
    const std::string letters = std::string("ab\0\x7f\x80\xff", 6);
    for (int i = 0; i < 2000; ++i) {
        std::string key;
        const int length = static_cast<int>(random() % 12);
        for (int j = 0; j < length; ++j) {
            key += letters[random() % letters.size()];
        }
        keys.push_back(key);
    }
    for (bool ascending : {true, false}) {
        EXPECT_EQ(StableSortOrder(keys, ascending), PlainStableOrder(keys, ascending))
            << (ascending ? "ascending" : "descending");
    }
    EXPECT_TRUE(StableSortOrder({}, true).empty());
}

// Keys in the order of a sort one way: reversing the runs of equal keys
// gives the order of the stable sort the other way.
TEST(ReversedRunsOrderTest, IsTheStableSortTheOtherWay) {
    std::mt19937 random(5);
    for (int size : {0, 1, 2, 50, 500}) {
        std::vector<std::string> keys;
        for (int i = 0; i < size; ++i) {
            keys.push_back(std::string(1 + random() % 2, static_cast<char>('a' + random() % 4)));
        }
        for (bool ascending : {true, false}) {
            std::vector<std::string> sorted;
            for (int row : StableSortOrder(keys, ascending)) {
                sorted.push_back(keys[static_cast<std::size_t>(row)]);
            }
            EXPECT_EQ(ReversedRunsOrder(sorted), PlainStableOrder(sorted, !ascending))
                << size << (ascending ? " ascending first" : " descending first");
        }
    }
}

}  // namespace
}  // namespace addresslist
