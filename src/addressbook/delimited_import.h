// Delimited-text import without the window: each line of the file becomes a
// `contact` clause in the clause database, and each clause an entry.
//
// Two ways:
// - Streaming (what the window's import command should call): open the file
//   with CDelimitedTextFile, show FirstLine(), then ImportDelimitedEntries
//   and LoadStagedEntries (book_file.h).  The file is read in blocks, and
//   each line's clause becomes an entry at once and is given back to the
//   store, so the database never holds more than one clause.
// - Whole text: ReadDelimitedFile, FirstLine, ImportDelimitedText (which
//   keeps every clause in the database), then LoadEntriesFromClauses.
// Both give the same entries and the same count.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "addressbook/field_table.h"
#include "clausedb/expr_database.h"

namespace addressbook {

struct StagedEntries;

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

// A delimited text file opened for a streaming import.  Plain UTF-8 (with or
// without a byte-order mark) is read in blocks of 1 MB; anything else is read
// whole and decoded as ReadDelimitedFile decodes it.  Lines are those of
// ImportDelimitedText: cut at each line feed, a carriage return right before
// it dropped, a last line without a line feed kept.
class CDelimitedTextFile {
public:
    CDelimitedTextFile() = default;
    ~CDelimitedTextFile();
    CDelimitedTextFile(const CDelimitedTextFile&) = delete;
    CDelimitedTextFile& operator=(const CDelimitedTextFile&) = delete;

    // Opens `path` and finds its encoding (one pass over the file).  False,
    // with ErrorText() and ErrorNumber() set, when it cannot be read.
    bool Open(const std::string& path);
    // The first line (without its line end), or nullopt for an empty file
    // or a failed read.
    std::optional<std::string> FirstLine();
    // Calls `line` for every line from the start of the file, in order; the
    // text is valid during the call only.  False when reading failed part-way.
    template <typename Fn>
    bool ForEachLine(Fn&& line) {
        return ForEachLineUntil([&line](std::string_view text) {
            line(text);
            return true;
        });
    }
    // The same, stopping after the first call that returns false.
    bool ForEachLineUntil(const std::function<bool(std::string_view)>& line);

    const std::string& ErrorText() const { return m_strError; }
    int ErrorNumber() const { return m_nErrno; }

    // Test seam: the size of the reading blocks (0: the normal size).
    static void SetBlockSizeForTesting(std::size_t bytes);

private:
    bool Fail(int err);

    int m_fd = -1;
    bool m_bWhole = false;  // m_strText holds the whole decoded text
    std::string m_strText;
    std::size_t m_nSkip = 0;  // a UTF-8 byte-order mark at the start
    std::string m_strError;
    int m_nErrno = 0;
};

// Streaming import: empties `db`, then turns each line of `text` into a
// clause exactly as ImportDelimitedText does, turns the clause into an entry
// at the end of `staged` and gives it back to the store at once.  Returns the
// number of entries staged, which is the count ImportDelimitedText returns.
int ImportDelimitedEntries(std::string_view text, const ColumnMapping& columns,
                           std::string_view white, std::string_view breaks,
                           clausedb::CExprDatabase& db, StagedEntries& staged);
// The same from an open file, read from its start.  -1 (with the staged
// entries dropped, and file.ErrorText() set) when reading failed part-way.
int ImportDelimitedEntries(CDelimitedTextFile& file, const ColumnMapping& columns,
                           std::string_view white, std::string_view breaks,
                           clausedb::CExprDatabase& db, StagedEntries& staged);

}  // namespace addressbook
