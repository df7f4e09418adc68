// Texts of the program's string table as Qt strings, for the address list.
#pragma once

#include <QString>

#include "addresslist/address_list_model.h"

namespace addresslist {

// The text of string-table entry `id`; empty when the table has none.
QString ResourceText(int id);

// The labels of the 32 fields (strings 130..161), in field order.
ColumnTexts LoadColumnLabels();

}  // namespace addresslist
