// Column widths and order of the address list, and the two settings strings
// that remember them ([Columns] "Sizes" and "Order").
//
// A layout gives, for each display position p = 0..31, the width in pixels of
// the column at p and the field shown there.  Widths belong to positions, not
// to fields.  Both strings hold 32 signed decimal numbers joined by ",".
//
// These functions need no window, so they are tested on their own.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {
class SettingsStore;
}

namespace addresslist {

inline constexpr int kColumnCount = 32;

using ColumnValues = std::array<int, kColumnCount>;

struct ColumnLayout {
    ColumnValues widths;
    ColumnValues order;  // field number shown at each position
};

// The built-in widths, by position.
extern const ColumnValues kDefaultColumnWidths;

// 0, 1, ..., 31: position p shows field p.
ColumnValues IdentityColumnOrder();

// Reads 32 numbers the way the scan pattern "%d,%d,...,%d" does: blanks
// before each number are skipped, an optional sign and at least one digit
// make a number, each of the first 31 numbers must be followed directly by
// ",", and whatever follows the 32nd number is ignored.  Nothing when fewer
// than 32 numbers can be read.  Numbers beyond the range of int are clamped.
std::optional<ColumnValues> ParseColumnValues(std::string_view text);

// The order stored in `text`, or nothing when the string is incomplete or
// names a field outside 0..31 (such a string must never index the labels).
std::optional<ColumnValues> ParseColumnOrder(std::string_view text);

// "v0,v1,...": the values as "%d" joined by ",", no blanks, no trailing comma.
std::string FormatColumnValues(const std::vector<int>& values);
std::string FormatColumnValues(const ColumnValues& values);

// The layout to show: the stored widths while "RememberCol" is on and
// "Sizes" is complete, else the defaults; the stored order while
// "RememberPos" is on and "Order" is complete and in range, else the identity.
ColumnLayout ReadColumnLayout(const settings::SettingsStore& settings);

}  // namespace addresslist
