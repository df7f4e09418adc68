// Reading comma-separated values as RFC 4180 describes them, the way
// spreadsheets, webmail and mail programs write them:
//
//     Doe,"Jane ""JJ""","12 Elm St
//     Apt 4",jane@example.org
//
// A field that starts with a double quote is quoted: it runs to the next
// lone double quote and may hold separators, line breaks and doubled quotes
// (each pair stands for one).  Text after the closing quote, up to the
// separator, is added as it is.  A field that does not start with a quote is
// taken as it is, quotes included.  A record ends at a line end outside a
// quoted field.
//
// The reader is fed one line at a time, without its line end (the file
// reader cuts lines at each line feed and drops a carriage return before
// it), so a line break inside a quoted field comes back as one line feed
// whether the file had CR LF or LF.  A carriage return at the very end of a
// line outside quotes is dropped too (the last line of a file with CR LF
// line ends but no final one).  An unclosed quote at the end of the file
// takes everything up to there: Finish() gives that last record.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace addressbook {

class CRfc4180Reader {
public:
    // `separator`: ',' or '\t'.
    explicit CRfc4180Reader(char separator) : m_separator(separator) {}

    // Adds the next line of the file.  True when it ends a record: Fields()
    // then holds the record until the next call.  False while a quoted field
    // goes on past the line's end.
    bool AddLine(std::string_view line);

    // At the end of the file: true when a record was still open (a quote
    // never closed); Fields() then holds it.
    bool Finish();

    // Whether the last AddLine ended inside a quoted field.
    bool InQuote() const { return m_bInQuote; }

    // The fields of the last complete record.  Only the first FieldCount()
    // strings count: the vector's strings are reused from record to record.
    const std::vector<std::string>& Fields() const { return m_fields; }
    std::size_t FieldCount() const { return m_nFields; }

private:
    std::string& NewField();

    char m_separator;
    bool m_bInQuote = false;
    std::vector<std::string> m_fields;
    std::size_t m_nFields = 0;
};

// Every record of `text` (read as a file would be: lines cut at line feeds,
// a carriage return before one dropped), for tests and small inputs.
std::vector<std::vector<std::string>> ReadRfc4180Records(std::string_view text, char separator);

}  // namespace addressbook
