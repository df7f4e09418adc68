// Delimited-text export without the window.
//
// The entries pass through the clause database like a save: a header clause
// holding the header words, then one `contact` clause per list row in display
// order.  Each clause becomes one line of M fields, M being the highest
// column number; field k is the text of the field whose column number is k
// (a later field wins when two share a number), or empty.  Lines end with
// CR LF, and a line break inside a value is written as CR LF too.  Every
// field is written in double quotes, in one of two ways:
//
// - kBackslash, the export of the File menu: a double quote or a backslash
//   inside a value gets a backslash before it (the delimited import reads
//   it as the character itself, so the file reads back); every other byte
//   is written as it is; every field is followed by the separator, the last
//   one included.
// - kRfc4180, "For spreadsheets": a double quote inside a value is doubled,
//   "<p>" in Notes is written as a line break inside the quotes, and there
//   is no separator after the last field (RFC 4180, as spreadsheets and
//   mail programs read CSV).
//
// Each clause is turned into its line as soon as it is built and then given
// back to the store, and the lines go out in blocks, so the database never
// holds more than one clause.
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

// Results of ExportDelimited besides a line count.
inline constexpr int kExportColumnTooLarge = -1;  // a column above kMaxExportColumn
inline constexpr int kExportWriteFailed = -2;     // the sink refused bytes

enum class ExportQuoting { kBackslash, kRfc4180 };

// Receives exported text in order, in blocks; false stops the export.
using TextSink = std::function<bool(std::string_view bytes)>;

// Empties `db`, then builds the header clause and one clause per row of
// `list` in display order, turns each into its line at once and gives it
// back to the store (`db` stays empty).  The text goes to `sink` in blocks of
// about 256 KB.  Returns the number of lines (0, with nothing sent, when no
// column number is above 0), kExportColumnTooLarge with nothing sent, or
// kExportWriteFailed when the sink refused a block.
int ExportDelimited(const IAddressList& list, clausedb::CExprDatabase& db,
                    const ColumnMapping& columns, char separator, const TextSink& sink,
                    ExportQuoting quoting = ExportQuoting::kBackslash);

// The same into a writer the caller has opened and will commit or discard.
int ExportDelimited(const IAddressList& list, clausedb::CExprDatabase& db,
                    const ColumnMapping& columns, char separator, fileio::AtomicFileWriter& writer,
                    ExportQuoting quoting = ExportQuoting::kBackslash);

}  // namespace addressbook
