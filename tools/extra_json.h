// The extra data of an entry (addressbook/extra_data.h) as JSON members,
// for the dump command.
#pragma once

#include <string>

#include "addressbook/extra_data.h"

namespace quillbox::tool {

// Appends `,"name":value` for each extra attribute, in the order of their
// first appearance: strings and words as strings, numbers as numbers
// (null for an infinite or undefined real), lists as arrays.  The values of
// a name that repeats are gathered in an array.  Arguments that are not
// attribute pairs, and pairs named like one of the 32 fields (whose key the
// field already has), go in order into an array under "(other)", a pair
// there as {"name":value}.
void AppendExtraMembers(std::string& out, const addressbook::CExtraData& extra);

}  // namespace quillbox::tool
