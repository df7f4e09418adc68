// Column mappings given on the command line: "LastName=1,FirstName=2".
#pragma once

#include <array>
#include <string>
#include <string_view>
#include "addressbook/delimited_import.h"

namespace quillbox::tool {

using ColumnMapping = addressbook::ColumnMapping;

// Parses comma-separated Attribute=N pairs into a mapping indexed by field;
// fields not named get 0.  False with a one-line reason for an unknown
// attribute, a number that is not an integer, or a malformed pair.
bool ParseColumnSpec(std::string_view spec, ColumnMapping& columns, std::string& error);

}  // namespace quillbox::tool
