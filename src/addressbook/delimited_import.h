// Delimited-text import without the window: each line of the file becomes an
// entry, with the fields that the line's `contact` clause would give.
//
// Open the file with CDelimitedTextFile, show its FirstLine(), then
// ImportDelimited and LoadEntries (book_file.h).  The file is read in
// blocks, and each line's fields go straight into its entry; no clause is
// built.
#pragma once

#include <array>
#include <cstring>
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

// Calls `line` for each line of [p, end) that a line feed ends, cut there and
// without a carriage return right before it, until a call returns false
// (`stopped` is then set).  Returns the start of what follows the last line
// feed: an unfinished line.
template <typename Fn>
const char* SplitLines(const char* p, const char* end, Fn&& line, bool& stopped) {
    for (;;) {
        const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (found == nullptr) {
            return p;
        }
        const char* newline = static_cast<const char*>(found);
        const char* stop = newline > p && newline[-1] == '\r' ? newline - 1 : newline;
        if (!line(std::string_view(p, static_cast<std::size_t>(stop - p)))) {
            stopped = true;
            return newline + 1;
        }
        p = newline + 1;
    }
}

// Calls `line` for each line of `text` (see SplitLines) until a call
// returns false.  A last line without a line feed is kept whole, a carriage
// return at its end included.
template <typename Fn>
void ForEachLineOfText(std::string_view text, Fn&& line) {
    bool stopped = false;
    const char* end = text.data() + text.size();
    const char* rest = SplitLines(text.data(), end, line, stopped);
    if (!stopped && rest != end) {
        line(std::string_view(rest, static_cast<std::size_t>(end - rest)));
    }
}

// A delimited text file opened for an import.  Plain UTF-8 (with or without
// a byte-order mark) is read in blocks of 256 KB; anything else is read whole
// and decoded to UTF-8 (UTF-16 with a byte-order mark converted, other text
// that is not UTF-8 taken as Windows-1252).  Lines are cut at each line feed,
// a carriage return right before it dropped; a last line without a line feed
// is kept whole.
class CDelimitedTextFile {
public:
    CDelimitedTextFile() = default;
    ~CDelimitedTextFile();
    CDelimitedTextFile(const CDelimitedTextFile&) = delete;
    CDelimitedTextFile& operator=(const CDelimitedTextFile&) = delete;

    // Opens `path`.  Only a byte-order mark is looked for now; whether the
    // rest is UTF-8 is found out by reading it.  False, with ErrorText() and
    // ErrorNumber() set, when it cannot be read.
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
    // The same, stopping after the first call that returns false.  The file
    // is read twice when its encoding is not known yet: once to find it.
    bool ForEachLineUntil(const std::function<bool(std::string_view)>& line);
    // The same, reading the file once: each block is checked as it is read.
    // When the file turns out part-way not to be UTF-8, the lines handed out
    // were not its text: false with StartOver() set, and the file reads as
    // decoded text from then on, for going through it again.
    bool ForEachLineChecking(const std::function<bool(std::string_view)>& line);
    // Whether the last ForEachLineChecking() stopped for a start over
    // rather than a failed read.
    bool StartOver() const { return m_bStartOver; }

    const std::string& ErrorText() const { return m_strError; }
    int ErrorNumber() const { return m_nErrno; }

    // Test seam: the size of the reading blocks (0: the normal size).
    static void SetBlockSizeForTesting(std::size_t bytes);

private:
    bool Fail(int err);
    // Reads the whole file and decodes it to UTF-8 (m_bWhole).
    bool ReadDecoded();
    // Finds out, by reading the whole file, whether the blocks are UTF-8;
    // when not, reads it decoded.
    bool FindEncoding();
    bool ReadLines(const std::function<bool(std::string_view)>& line, bool checkAsRead);

    int m_fd = -1;
    bool m_bWhole = false;  // m_strText holds the whole decoded text
    bool m_bUtf8 = false;   // the blocks are known to be UTF-8 throughout
    bool m_bStartOver = false;
    std::string m_strText;
    std::size_t m_nSkip = 0;  // a UTF-8 byte-order mark at the start
    std::string m_strError;
    int m_nErrno = 0;
};

// Whether a first line says the file holds vCards ("BEGIN:VCARD", any case,
// blanks around it allowed; the file reader has removed a byte-order mark).
bool IsVCardFirstLine(std::string_view line);

// Empties `db` (it stays empty), then turns each line of `file`, the first
// line included, into an entry at the end of `staged`.  Field i takes the text of
// column columns[i] when 1 <= columns[i] <= the line's field count, even when
// that text is empty; a line that fills no field (an empty line, for one)
// gives nothing.  Lines and fields of any length are kept whole.  Returns the
// number of entries staged; -1 (with nothing staged, and file.ErrorText()
// set) when reading failed part-way.
int ImportDelimited(CDelimitedTextFile& file, const ColumnMapping& columns, std::string_view white,
                    std::string_view breaks, clausedb::CExprDatabase& db, StagedEntries& staged);
// The same over the lines of text already in memory.
int ImportDelimited(std::string_view text, const ColumnMapping& columns, std::string_view white,
                    std::string_view breaks, clausedb::CExprDatabase& db, StagedEntries& staged);

// Is called with the field texts of each entry of an import, valid during
// the call only.
using DelimitedEntrySink = std::function<void(const FieldTexts& texts)>;
// The entries ImportDelimited would stage, handed to `entry` one by one
// instead, reading the file once; returns their number, or -1 when reading
// failed part-way or, with file.StartOver(), when the entries handed out were
// not the file's because it is not UTF-8: call again for those.
int ForEachDelimitedEntry(CDelimitedTextFile& file, const ColumnMapping& columns,
                          std::string_view white, std::string_view breaks,
                          const DelimitedEntrySink& entry);

}  // namespace addressbook
