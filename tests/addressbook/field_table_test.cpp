#include <gtest/gtest.h>

#include <set>

#include "addressbook/field_table.h"

namespace addressbook {
namespace {

// The attribute names and headers are checked byte for byte by the golden
// files; here, that a field is found by its exact attribute name only, with
// any hint of where to start looking.
TEST(FieldTable, AttributesAreFoundByTheirExactName) {
    for (int field = 0; field < kFieldCount; ++field) {
        EXPECT_EQ(FieldIndexFromAttribute(FieldAt(field).attribute, 31 - field), field);
    }
    EXPECT_EQ(FieldIndexFromAttribute("lastname"), -1);  // case-sensitive
    EXPECT_EQ(FieldIndexFromAttribute("Last Name"), -1);
}

// Labels and attributes are unique, since fields are found by them.
TEST(FieldTable, UniqueNames) {
    std::set<std::string_view> labels, attributes;
    for (int k = 0; k < kFieldCount; ++k) {
        labels.insert(FieldAt(k).label);
        attributes.insert(FieldAt(k).attribute);
    }
    EXPECT_EQ(labels.size(), 32u);
    EXPECT_EQ(attributes.size(), 32u);
}

}  // namespace
}  // namespace addressbook
