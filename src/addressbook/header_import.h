// Delimited-text import of a file whose first line names its columns: CSV
// files written by webmail, mail programs, phones and spreadsheets, and this
// program's own exports.  The first line is not imported; the field numbers
// usually come from MatchColumns (column_aliases.h), and every row becomes
// an entry as csv_row_mapping.h describes, nothing of it lost.
//
// Which rules the file follows is told by its first line:
// - this program's plain export (every name one of its export words, such
//   as "LASTNAME", or empty, and the line ending with the separator) is read
//   by the rules of the plain import (delimited_token.h: a backslash makes
//   the next character literal); a quoted value may hold line breaks, so a
//   record goes on while a quote is open;
// - anything else is read by RFC 4180 rules (rfc4180.h), this program's
//   export "For spreadsheets" included; line breaks in Notes become "<p>".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/delimited_import.h"
#include "addressbook/kept_tally.h"

namespace addressbook {

enum class HeaderFileRules { kRfc4180, kQuillbox };

struct CsvHeader {
    std::vector<std::string> names;
    HeaderFileRules rules = HeaderFileRules::kRfc4180;
};

// Reads the column names of `file` (its first record) and finds its rules.
// `separator`: ',' or '\t'.  False for an empty file, or when reading failed
// (file.ErrorText() is then set).
bool ReadCsvHeader(CDelimitedTextFile& file, char separator, CsvHeader& header);
// The same from text in memory.
bool ReadCsvHeaderText(std::string_view text, char separator, CsvHeader& header);

struct HeaderImportReport {
    int imported = 0;
    KeptTally kept;
    // The line where the record with a quote never closed begins, 0 for none.
    int unclosedQuoteLine = 0;
};

// Empties `staged`, then stages an entry for each record of `file` after the
// first, fields fed by `columns` (1-based, as in the plain import).  Returns
// the number staged; -1 (with nothing staged) when reading failed part-way.
int ImportWithHeader(CDelimitedTextFile& file, char separator, const ColumnMapping& columns,
                     StagedEntries& staged, HeaderImportReport& report);
// The same from text in memory.
int ImportWithHeaderText(std::string_view text, char separator, const ColumnMapping& columns,
                         StagedEntries& staged, HeaderImportReport& report);

// "312 addresses imported. Kept as extra data: Birthday 120, a second
// mobile phone 4."; "No addresses could be imported." when none was; and
// when a quote was never closed, the line of its record.
std::string HeaderImportReportText(const HeaderImportReport& report);

}  // namespace addressbook
