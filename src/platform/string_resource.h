// The program's string table as Qt strings.
#pragma once

#include <QString>

namespace platform {

// The text of string-table entry `id` (UTF-8 in the table); empty when the
// table has none.
QString ResourceString(int id);

}  // namespace platform
