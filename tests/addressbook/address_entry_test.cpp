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
        for (int i = 0; i < kFieldCount; ++i) {
            ASSERT_EQ(entry.GetField(i), model[i]) << "step " << step << " field " << i;
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

}  // namespace
}  // namespace addressbook
