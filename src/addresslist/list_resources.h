// The field labels of the string table, for the address list's columns.
#pragma once

#include <QString>

#include "addresslist/address_list_model.h"

namespace addresslist {

// The labels of the 32 fields (the strings from kStrFieldLabelFirst on), in
// field order.
ColumnTexts LoadColumnLabels();

}  // namespace addresslist
