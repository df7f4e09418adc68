// What an entry holds beyond its 32 fields, in plain words, one line per
// item, for the editor's read-only page:
//
//     Birthday: 1980-04-01
//     Nickname: Jo
//     Photo: 12 KB JPEG
//     E-mail (Office): third@x.org
//     Categories: Friends, Work
//     Name suffix: Jr.
//     X-GENDER-CUSTOM: tbd                 (a property the program does not know)
//     Rank: 3                              (an attribute of a later version)
//
// vCard properties are named in words where the program knows them, with
// their label (an X-ABLabel of their group, else their types) in
// parentheses; long texts are cut at 100 characters, line breaks shown as
// " / ".  The UID and other identity attributes (entry_identity.h) are not
// listed: they say which contact this is, not something about it.  A form
// (vcard_mapping.h) is listed only for what it holds beyond the fields.
#pragma once

#include <string>
#include <vector>

#include "addressbook/address_entry.h"

namespace addressbook {

std::vector<std::string> DescribeExtraData(const CAddressEntry& entry);

}  // namespace addressbook
