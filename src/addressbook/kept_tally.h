// What an import kept as extra data instead of a field, and how often, and
// the sentence that reports it: "Kept as extra data: BDAY 120, PHOTO 98, a
// third e-mail 4."  Shared by the vCard import and the delimited import that
// matches columns by their names.
#pragma once

#include <map>
#include <string>

namespace addressbook {

// Property or column names ("BDAY", "Birthday") and descriptions ("a third
// e-mail"), each with its count.
using KeptTally = std::map<std::string, int>;

// " Kept as extra data: A 3, B 1." (most frequent first, then by name), or
// nothing when the tally is empty.
std::string KeptSentence(const KeptTally& kept);

}  // namespace addressbook
