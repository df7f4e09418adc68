// Delimited-text import without the window: the file's text becomes one
// `contact` clause per line in the clause database, which the caller then
// loads into the address list with LoadEntriesFromClauses.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "addressbook/field_table.h"
#include "clausedb/expr_database.h"

namespace addressbook {

// Column numbers per field, 1-based; 0 or less means the field takes no
// column.  Used by both import and export.
using ColumnMapping = std::array<int, kFieldCount>;

// Reads the file at `path` and decodes it to UTF-8 (byte-order mark dropped,
// UTF-16 converted, other text that is not UTF-8 taken as Windows-1252).
// False with the system's reason when the file cannot be read.
bool ReadDelimitedFile(const std::string& path, std::string& text, std::string* errorText = nullptr,
                       int* errorNumber = nullptr);

// The first line of `text` (without its line end), shown as a guide in the
// column dialog; nullopt when the text is empty.
std::optional<std::string> FirstLine(std::string_view text);

// Empties `db`, then adds one `contact` clause per line of `text`, the first
// line included.  A carriage return before a line feed is dropped.  Field i
// takes the text of column columns[i] when 1 <= columns[i] <= the line's
// field count, even when that text is empty; a line that fills no field (an
// empty line, for one) adds nothing.  Lines and fields of any length are
// kept whole.  Returns the number of clauses added.
int ImportDelimitedText(std::string_view text, const ColumnMapping& columns, std::string_view white,
                        std::string_view breaks, clausedb::CExprDatabase& db);

}  // namespace addressbook
