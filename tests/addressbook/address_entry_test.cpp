#include <gtest/gtest.h>

#include <random>

#include "addressbook/address_entry.h"

namespace addressbook {
namespace {

// The fields share one buffer: growing, shrinking or emptying one must leave
// the others intact.  Checked against 32 plain strings.
TEST(AddressEntry, FieldsStayIndependent) {
    std::mt19937 random(12345);
    const std::string samples[] = {
        "", "Smith", "M\xC3\xBCller", "a\nb\r\n", std::string(300, 'z'), std::string("nul\0in", 6)};
    std::array<std::string, kFieldCount> model;
    CAddressEntry entry;
    EXPECT_EQ(entry, CAddressEntry());
    for (int step = 0; step < 3000; ++step) {
        const int index = static_cast<int>(random() % kFieldCount);
        model[index] = samples[random() % std::size(samples)];
        entry.SetField(index, model[index]);
        std::array<std::string_view, kFieldCount> all;
        entry.GetFields(all);
        for (int i = 0; i < kFieldCount; ++i) {
            ASSERT_EQ(entry.GetField(i), model[i]) << "step " << step << " field " << i;
            ASSERT_EQ(all[i], model[i]) << "step " << step << " field " << i;
        }
    }
    std::array<std::string_view, kFieldCount> views;
    std::copy(model.begin(), model.end(), views.begin());
    CAddressEntry copy;
    copy.AssignFields(views);
    EXPECT_EQ(copy, entry);
    copy.SetField(Notes, copy.GetField(LastName));  // from a view into itself
    EXPECT_EQ(copy.GetField(Notes), model[LastName]);
    EXPECT_EQ(entry.GetField(Notes), model[Notes]);  // a copy is a separate array
    EXPECT_THROW(entry.SetField(kFieldCount, "x"), std::out_of_range);
}

// Field ends are stored in 16 bits while the texts total less than 64 KiB
// and in 32 bits beyond; both sides of the limit, and entries that cross it.
TEST(AddressEntry, TextsOnBothSidesOfTheSmallLimit) {
    struct Case {
        std::size_t first, last;  // sizes of LastName and Notes; City holds "x"
    };
    const Case cases[] = {{0, 0}, {65533, 1}, {65534, 1}, {65535, 1}, {1, 65535}, {70000, 70000}};
    for (const Case& c : cases) {
        const std::string first(c.first, 'a'), last(c.last, 'z');
        CAddressEntry entry;
        entry.SetField(LastName, first);
        entry.SetField(City, "x");
        entry.SetField(Notes, last);
        EXPECT_EQ(entry.TextSize(), c.first + 1 + c.last);
        const CAddressEntry copy = entry;
        std::array<std::string_view, kFieldCount> all;
        copy.GetFields(all);
        EXPECT_TRUE(copy.GetField(LastName) == first && all[LastName] == first) << c.first;
        EXPECT_TRUE(copy.GetField(City) == "x" && all[City] == "x") << c.first;
        EXPECT_TRUE(copy.GetField(Notes) == last && all[Notes] == last) << c.last;
        EXPECT_EQ(copy.GetField(Title), "");
        EXPECT_EQ(copy, entry);
        CAddressEntry shrunk = copy;
        shrunk.SetField(LastName, "");
        EXPECT_FALSE(shrunk == copy && c.first > 0);
        EXPECT_EQ(shrunk.GetField(Notes), copy.GetField(Notes));
    }
}

}  // namespace
}  // namespace addressbook
