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
//
// ExportDelimitedTo (or ExportDelimitedToWriter) is the streaming way, which
// the window's export command should call: each clause is turned into its
// line as soon as it is built and then given back to the store, and the
// lines go out in blocks.  ExportDelimited stages every clause first.  Both
// write the same bytes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "addressbook/address_list.h"
#include "addressbook/delimited_import.h"
#include "clausedb/expr_database.h"

namespace fileio {
class AtomicFileWriter;
}

namespace addressbook {

// Column numbers above this make the export fail: each line would carry that
// many fields, so a stray large number in the settings would otherwise fill
// the disk (or exhaust memory) with empty fields.
inline constexpr int kMaxExportColumn = 1000;

// Results of ExportDelimitedTo besides a line count.
inline constexpr int kExportColumnTooLarge = -1;  // a column above kMaxExportColumn
inline constexpr int kExportWriteFailed = -2;     // the sink refused bytes

// Receives exported text in order, in blocks; false stops the export.
using TextSink = std::function<bool(std::string_view bytes)>;

// Streaming export: empties `db`, then builds the header clause and one
// clause per row of `list` in display order, turns each into its line at
// once and gives it back to the store (`db` stays empty).  The text goes to
// `sink` in blocks of about 1 MB.  Returns the number of lines (0, with
// nothing sent, when no column number is above 0), kExportColumnTooLarge
// with nothing sent, or kExportWriteFailed when the sink refused a block.
int ExportDelimitedTo(const IAddressList& list, clausedb::CExprDatabase& db,
                      const ColumnMapping& columns, char separator, const TextSink& sink);

// The same into a writer the caller has opened and will commit or discard.
int ExportDelimitedToWriter(const IAddressList& list, clausedb::CExprDatabase& db,
                            const ColumnMapping& columns, char separator,
                            fileio::AtomicFileWriter& writer);

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

// ExportDelimitedTo into `out` (cleared first), for callers that want the
// text in memory.  The same lines as StageExportClauses followed by
// ExportDelimitedClauses, and the same result; `db` is left empty.
int ExportDelimited(const IAddressList& list, clausedb::CExprDatabase& db,
                    const ColumnMapping& columns, char separator, std::string& out);

// Writes `bytes` to `path` through a temporary file that replaces the old
// file only once it is complete, so a failed export never destroys it.
bool WriteDelimitedFile(const std::string& path, std::string_view bytes,
                        std::string* errorText = nullptr);

}  // namespace addressbook
