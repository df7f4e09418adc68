// The order in which the list shows its rows when sorted by a column.
#pragma once

#include <string>
#include <vector>

namespace addresslist {

// The row numbers of `keys` in the order of a stable sort of the keys
// (byte-wise, as std::string compares), ascending or descending; rows of
// equal keys keep their order.  The first eight bytes of every key are
// compared as one number, so most comparisons never touch the keys' text,
// which matters at a million rows.
std::vector<int> StableSortOrder(const std::vector<std::string>& keys, bool ascending);

// For `keys` already in the order of a sort one way: the row numbers in the
// order of the stable sort the other way, which is the runs of equal keys in
// reverse, each run keeping its order.  One pass, no comparison of order.
std::vector<int> ReversedRunsOrder(const std::vector<std::string>& keys);

}  // namespace addresslist
