// Delimited-text export without the window.
//
// The entries pass through the clause database like a save: a header clause
// holding the header words, then one `contact` clause per list row in display
// order.  Each clause becomes one line of M fields, M being the highest
// column number; field k is the text of the field whose column number is k
// (a later field wins when two share a number), or empty.  Every field is
// written as a double quote, the text unchanged, a double quote and the
// separator, so each line ends with the separator; lines end with CR LF, and
// a line break inside a value is written as CR LF too.
#pragma once

#include <string>
#include <string_view>

#include "addressbook/address_list.h"
#include "addressbook/delimited_import.h"
#include "clausedb/expr_database.h"

namespace addressbook {

// Column numbers above this make the export fail: each line would carry that
// many fields, so a stray large number in the settings would otherwise fill
// the disk (or exhaust memory) with empty fields.
inline constexpr int kMaxExportColumn = 1000;

// Appends the header clause: field i's attribute with field i's header word.
void AddExportHeaderClause(clausedb::CExprDatabase& db);

// Empties `db`, then adds the header clause and the entries of `list`.
void StageExportClauses(const IAddressList& list, clausedb::CExprDatabase& db);

// Builds the lines of every clause of `db` into `out` (cleared first),
// empties `db`, and returns the number of lines; 0 with an empty `out` when
// no column number is above 0.  Returns -1 (nothing built) when a column
// number exceeds kMaxExportColumn (`db` is emptied all the same).
int ExportDelimitedClauses(clausedb::CExprDatabase& db, const ColumnMapping& columns,
                           char separator, std::string& out);

// StageExportClauses then ExportDelimitedClauses.
int ExportDelimited(const IAddressList& list, clausedb::CExprDatabase& db,
                    const ColumnMapping& columns, char separator, std::string& out);

// Writes `bytes` to `path` through a temporary file that replaces the old
// file only once it is complete, so a failed export never destroys it.
bool WriteDelimitedFile(const std::string& path, std::string_view bytes,
                        std::string* errorText = nullptr);

}  // namespace addressbook
