// Finding entries again in a list that was read anew.
//
// When the book is read again from disk (another program changed it), the
// window wants the same entries selected as before, although every entry
// is a new object and rows may have moved, been added or been removed.  An
// entry is looked for, in this order, by its UID, by all its fields, then
// by its name (Last, First and Middle Initial), so an entry whose phone
// number the other program changed is still found.  Each row of the new
// list is given to at most one entry.
#pragma once

#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/address_list.h"

namespace addressbook {

// For each of `entries`, the row of `list` that holds it now, or -1.
std::vector<int> FindRowsAgain(const std::vector<CAddressEntry>& entries, const IAddressList& list);

}  // namespace addressbook
