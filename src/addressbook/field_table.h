// The 32 fields of an address entry and every name the program gives them.
//
// The field index is the one order shared by the list columns, the book file,
// the import and export column mappings, the column-layout strings and the
// editor.  The strings below are exact: the settings keys in particular are
// irregular ("ImportLastname", "ImportMI", "ExportCAdd1") and existing
// settings files rely on them.
#pragma once

#include <array>
#include <string_view>

namespace addressbook {

constexpr int kFieldCount = 32;

// One entry's texts, one per field, in field order.
using FieldTexts = std::array<std::string_view, kFieldCount>;

enum FieldIndex : int {
    LastName = 0,
    FirstName = 1,
    MiddleInitial = 2,
    Title = 3,
    Address1 = 4,
    Address2 = 5,
    City = 6,
    Country = 7,
    State = 8,
    ZipCode = 9,
    Company = 10,
    Department = 11,
    Position = 12,
    Manager = 13,
    Additional1 = 14,
    Additional2 = 15,
    HomePhone = 16,
    HomeExt = 17,
    WorkPhone = 18,
    WorkExt = 19,
    CellPhone = 20,
    CellExt = 21,
    Pager = 22,
    PagerCard = 23,
    PagerExt = 24,
    FaxPhone = 25,
    FaxExt = 26,
    Email1 = 27,
    Email2 = 28,
    Web1 = 29,
    Web2 = 30,
    Notes = 31,
};

struct FieldInfo {
    std::string_view attribute;    // attribute name in book files and staged clauses
    std::string_view label;        // column heading of the address list
    std::string_view selectLabel;  // caption in the "Select Fields" dialog
    std::string_view header;       // word of the exported header line
};

// Indexed by FieldIndex.
extern const std::array<FieldInfo, kFieldCount> kFields;

inline const FieldInfo& FieldAt(int index) {
    return kFields[static_cast<std::size_t>(index)];
}

// The order in which the "Import" and "Export" keys are read from and written
// to the settings file (an order of field indices, not the field order).
extern const std::array<int, kFieldCount> kImportKeyOrder;
extern const std::array<int, kFieldCount> kExportKeyOrder;

// The field whose attribute name is exactly `name` (case-sensitive); -1 when
// none is.
int FieldIndexFromAttribute(std::string_view name);

// The same, trying `hint` first: clauses normally list their attributes in
// field order, so passing the previous match + 1 makes the usual case one
// comparison.
int FieldIndexFromAttribute(std::string_view name, int hint);

}  // namespace addressbook
