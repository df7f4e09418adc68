// Finding the selected entries again after the book was read anew.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addressbook/entry_identity.h"
#include "addressbook/entry_rematch.h"
#include "test_support.h"

namespace addressbook::testing {
namespace {

CAddressEntry Entry(const FieldValues& values, const std::string& uid = {}) {
    CAddressEntry entry;
    for (const auto& [index, text] : values) {
        entry.SetField(index, text);
    }
    if (!uid.empty()) {
        SetEntryUid(entry, uid);
    }
    return entry;
}

void Append(VectorAddressList& list, const CAddressEntry& entry) {
    ASSERT_TRUE(list.AppendEntry(std::make_unique<CAddressEntry>(entry)));
}

TEST(FindRowsAgain, ByUidThenContentThenName) {
    // The book as another program rewrote it.
    VectorAddressList list;
    Append(list, Entry({{0, "Doe"}, {1, "Jane"}, {16, "555-0100"}}));  // 0
    Append(list, Entry({{0, "Renamed"}, {1, "Sam"}}, "urn:uuid:1"));   // 1
    Append(list, Entry({{0, "Roe"}, {1, "Jim"}, {16, "555-0199"}}));   // 2
    Append(list, Entry({{0, "Roe"}, {1, "Jim"}, {16, "555-0123"}}));   // 3
    Append(list, Entry({{10, "Acme"}}));                               // 4
    Append(list, Entry({{0, "Twin"}}));                                // 5
    Append(list, Entry({{0, "Twin"}}));                                // 6
    struct Case {
        const char* what;
        std::vector<CAddressEntry> wanted;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {"a UID wins over a changed name", {Entry({{0, "Smith"}, {1, "Sam"}}, "urn:uuid:1")}, {1}},
        {"a changed phone number is found by the name",
         {Entry({{0, "Doe"}, {1, "Jane"}, {16, "555-0000"}})},
         {0}},
        // The exact copy takes row 3 first, so the name alone gets row 2.
        {"content before name",
         {Entry({{0, "Roe"}, {1, "Jim"}}), Entry({{0, "Roe"}, {1, "Jim"}, {16, "555-0123"}})},
         {2, 3}},
        {"each row is given once",
         {Entry({{0, "Twin"}}), Entry({{0, "Twin"}}), Entry({{0, "Twin"}})},
         {5, 6, -1}},
        {"a nameless entry is found only by its content",
         {Entry({{10, "Acme"}}), Entry({{10, "Other"}})},
         {4, -1}},
        {"a removed entry is not found", {Entry({{0, "Gone"}})}, {-1}},
        {"a lost UID falls back to the content", {Entry({{10, "Acme"}}, "urn:uuid:9")}, {4}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindRowsAgain(c.wanted, list), c.rows) << c.what;
    }
}

}  // namespace
}  // namespace addressbook::testing
