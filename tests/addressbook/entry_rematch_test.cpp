// Finding the selected entries again after the book was read anew.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "addressbook/entry_identity.h"
#include "addressbook/entry_rematch.h"
#include "test_support.h"

namespace addressbook::testing {
namespace {

CAddressEntry Entry(const FieldValues& values, const std::string& uid = {}) {
    VectorAddressList list;
    AppendEntries(list, {values});
    if (!uid.empty()) {
        SetEntryUid(list.MutableEntryAt(0), uid);
    }
    return list.EntryAt(0);
}

TEST(FindRowsAgain, ByUidThenContentThenName) {
    // The book as another program rewrote it, rows 0 to 5.
    VectorAddressList list;
    AppendEntries(list, {{{0, "Renamed"}, {1, "Sam"}},
                         {{0, "Roe"}, {1, "Jim"}, {16, "555-0199"}},
                         {{0, "Roe"}, {1, "Jim"}, {16, "555-0123"}},
                         {{10, "Acme"}},
                         {{0, "Twin"}},
                         {{0, "Twin"}}});
    SetEntryUid(list.MutableEntryAt(0), "urn:uuid:1");
    const std::tuple<const char*, std::vector<CAddressEntry>, std::vector<int>> cases[] = {
        {"a UID wins over a changed name", {Entry({{0, "Smith"}, {1, "Sam"}}, "urn:uuid:1")}, {0}},
        // The exact copy takes row 2 first, so the name alone gets row 1.
        {"content before name",
         {Entry({{0, "Roe"}, {1, "Jim"}}), Entry({{0, "Roe"}, {1, "Jim"}, {16, "555-0123"}})},
         {1, 2}},
        {"each row is given once",
         {Entry({{0, "Twin"}}), Entry({{0, "Twin"}}), Entry({{0, "Twin"}})},
         {4, 5, -1}},
        {"a nameless entry is found only by its content",
         {Entry({{10, "Acme"}}), Entry({{10, "Other"}})},
         {3, -1}},
        {"a removed entry is not found", {Entry({{0, "Gone"}})}, {-1}},
        {"a lost UID falls back to the content", {Entry({{10, "Acme"}}, "urn:uuid:9")}, {3}},
    };
    for (const auto& [what, wanted, rows] : cases) {
        EXPECT_EQ(FindRowsAgain(wanted, list), rows) << what;
    }
}

}  // namespace
}  // namespace addressbook::testing
