#include "addressbook/delimited_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/delimited_token.h"
#include "fileio/atomic_file.h"
#include "fileio/text_encoding.h"

namespace addressbook {

namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 18;
std::size_t g_blockSizeForTesting = 0;

std::size_t BlockSize() {
    return g_blockSizeForTesting != 0 ? g_blockSizeForTesting : kReadBlock;
}

// The line that starts at `start`, as a text-mode read sees it, and the
// position after its line end.
std::string_view LineAt(std::string_view text, std::size_t start, std::size_t& next) {
    std::size_t newline = text.find('\n', start);
    if (newline == std::string_view::npos) {
        next = text.size();
        return text.substr(start);
    }
    next = newline + 1;
    std::size_t end = newline;
    if (end > start && text[end - 1] == '\r') {
        --end;
    }
    return text.substr(start, end - start);
}

// Calls `fn` for each line of `text` until it returns false.
template <typename Fn>
void ForEachLineOf(std::string_view text, Fn&& fn) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t next = 0;
        const std::string_view line = LineAt(text, start, next);
        start = next;
        if (!fn(line)) {
            return;
        }
    }
}

// The length of `bytes` without a multi-byte UTF-8 sequence cut off at its end.
std::size_t CompletePrefix(const char* bytes, std::size_t size) {
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto b = static_cast<unsigned char>(bytes[size - back]);
        if ((b & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back
        }
        const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return back < need ? size - back : size;
    }
    return size;
}

// Turns lines into `contact` clauses: field i takes column columns[i] when the
// line has that column.
class LineImporter {
public:
    LineImporter(const ColumnMapping& columns, std::string_view white, std::string_view breaks)
        : m_columns(columns),
          m_splitter(white, breaks, kImportQuotes, kImportEscape),
          m_nMaxColumn(*std::max_element(columns.begin(), columns.end())),
          // Fields beyond the highest column number are never used, and
          // stopping there does not change which columns exist (c <= n holds
          // for every used c exactly when it holds with n capped at the
          // highest column).
          m_fields(static_cast<std::size_t>(std::clamp(m_nMaxColumn, 0, 256))) {}

    // False when no field takes a column, so that no line can give a clause.
    bool CanImport() const { return m_nMaxColumn >= 1; }

    // The clause of `line`, built in `db`'s store, or no term when the line
    // fills no field (nothing is built then).
    clausedb::CExprTerm Clause(std::string_view line, clausedb::CExprDatabase& db) {
        int fieldCount = 0;
        std::size_t position = 0;
        while (fieldCount < m_nMaxColumn) {
            if (static_cast<std::size_t>(fieldCount) == m_fields.size()) {
                m_fields.emplace_back();
            }
            if (!m_splitter.Next(line, position, m_fields[static_cast<std::size_t>(fieldCount)])) {
                break;
            }
            ++fieldCount;
        }
        auto takesColumn = [fieldCount](int column) { return column >= 1 && column <= fieldCount; };
        if (std::none_of(m_columns.begin(), m_columns.end(), takesColumn)) {
            return {};
        }
        std::array<std::string_view, kFieldCount> values;
        std::array<bool, kFieldCount> include;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const int column = m_columns[i];
            include[i] = takesColumn(column);
            if (include[i]) {
                values[i] = m_fields[static_cast<std::size_t>(column - 1)];
            }
        }
        clausedb::CExprTerm clause = db.NewClause(kContactFunctor);
        FieldAttributes().AddStringAttributes(clause, values.data(), include.data());
        return clause;
    }

private:
    const ColumnMapping m_columns;
    const CDelimitedSplitter m_splitter;
    const int m_nMaxColumn;
    std::vector<std::string> m_fields;  // reused from line to line
};

// The streaming import over any source of lines: each clause becomes a
// staged entry and is given back to the store at once.
template <typename ForEachLine>
int StageLines(ForEachLine&& forEachLine, const ColumnMapping& columns, std::string_view white,
               std::string_view breaks, clausedb::CExprDatabase& db, StagedEntries& staged) {
    db.RemoveAllClauses();
    staged.Clear();
    LineImporter importer(columns, white, breaks);
    if (!importer.CanImport()) {
        return 0;
    }
    clausedb::CExprStore& store = db.Store();
    const clausedb::StoreMark mark = store.Mark();
    int count = 0;
    const bool ok = forEachLine([&](std::string_view line) {
        const clausedb::CExprTerm clause = importer.Clause(line, db);
        if (clause) {
            staged.entries.push_back(EntryFromClause(clause));
            ++count;
            store.Rewind(mark);
        }
        return true;
    });
    store.Clear();
    if (!ok) {
        staged.Clear();
        return -1;
    }
    staged.announcedRows = count;
    return count;
}

}  // namespace

bool ReadDelimitedFile(const std::string& path, std::string& text, std::string* errorText,
                       int* errorNumber) {
    if (!fileio::ReadWholeFile(path, text, errorText, errorNumber)) {
        return false;
    }
    fileio::DecodeToUtf8(text);
    return true;
}

std::optional<std::string> FirstLine(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::size_t next = 0;
    return std::string(LineAt(text, 0, next));
}

int ImportDelimitedText(std::string_view text, const ColumnMapping& columns, std::string_view white,
                        std::string_view breaks, clausedb::CExprDatabase& db) {
    db.RemoveAllClauses();
    LineImporter importer(columns, white, breaks);
    if (!importer.CanImport()) {
        return 0;
    }
    int count = 0;
    ForEachLineOf(text, [&](std::string_view line) {
        const clausedb::CExprTerm clause = importer.Clause(line, db);
        if (clause) {
            db.AddClause(clause);
            ++count;
        }
        return true;
    });
    return count;
}

// ---- CDelimitedTextFile

void CDelimitedTextFile::SetBlockSizeForTesting(std::size_t bytes) {
    g_blockSizeForTesting = bytes;
}

CDelimitedTextFile::~CDelimitedTextFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool CDelimitedTextFile::Fail(int err) {
    m_nErrno = err;
    m_strError = std::strerror(err);
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    return false;
}

bool CDelimitedTextFile::Open(const std::string& path) {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_bWhole = false;
    m_strText.clear();
    m_nSkip = 0;
    m_strError.clear();
    m_nErrno = 0;

    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        return Fail(errno);
    }
    struct stat st {};
    if (fstat(m_fd, &st) != 0) {
        return Fail(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return Fail(EISDIR);
    }

    // Plain UTF-8 is read in blocks later; one pass now tells it from text
    // that must be decoded as a whole (a UTF-16 byte-order mark, or bytes
    // that are not UTF-8 anywhere in the file).  A pipe can be read once
    // only, so it is read whole.
    bool plain = S_ISREG(st.st_mode);
    if (plain) {
        char head[3];
        std::size_t headSize = 0;
        while (headSize < sizeof head) {
            const ssize_t n = ::pread(m_fd, head + headSize, sizeof head - headSize,
                                      static_cast<off_t>(headSize));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return Fail(errno);
            }
            if (n == 0) {
                break;
            }
            headSize += static_cast<std::size_t>(n);
        }
        const std::string_view start(head, headSize);
        if (start.substr(0, 2) == "\xFF\xFE" || start.substr(0, 2) == "\xFE\xFF") {
            plain = false;
        } else if (start == "\xEF\xBB\xBF") {
            m_nSkip = 3;
        }
    }
    if (plain) {
        const std::size_t block = BlockSize();
        std::unique_ptr<char[]> buffer(new char[block + 4]);
        char* buf = buffer.get();
        std::size_t carry = 0;
        for (;;) {
            const ssize_t n = fileio::ReadSome(m_fd, buf + carry, block);
            if (n < 0) {
                return Fail(errno);
            }
            const std::size_t have = carry + static_cast<std::size_t>(n);
            const std::size_t complete = n == 0 ? have : CompletePrefix(buf, have);
            if (!fileio::IsValidUtf8(std::string_view(buf, complete))) {
                plain = false;
                break;
            }
            if (n == 0) {
                break;
            }
            carry = have - complete;
            std::memmove(buf, buf + complete, carry);
        }
    }
    if (!plain) {
        ::close(m_fd);
        m_fd = -1;
        m_nSkip = 0;
        if (!ReadDelimitedFile(path, m_strText, &m_strError, &m_nErrno)) {
            return false;
        }
        m_bWhole = true;
    }
    return true;
}

std::optional<std::string> CDelimitedTextFile::FirstLine() {
    std::optional<std::string> first;
    if (!ForEachLineUntil([&first](std::string_view line) {
            first.emplace(line);
            return false;
        })) {
        return std::nullopt;
    }
    return first;
}

bool CDelimitedTextFile::ForEachLineUntil(const std::function<bool(std::string_view)>& line) {
    if (m_bWhole) {
        ForEachLineOf(m_strText, line);
        return true;
    }
    if (m_fd < 0) {
        return false;
    }
    if (lseek(m_fd, static_cast<off_t>(m_nSkip), SEEK_SET) < 0) {
        return Fail(errno);
    }
    std::size_t capacity = BlockSize();
    std::unique_ptr<char[]> buffer(new char[capacity]);
    std::size_t kept = 0;  // bytes of an unfinished line at the front
    for (;;) {
        if (kept == capacity) {
            // One line fills the whole buffer: double it.
            std::unique_ptr<char[]> bigger(new char[capacity * 2]);
            std::memcpy(bigger.get(), buffer.get(), kept);
            buffer = std::move(bigger);
            capacity *= 2;
        }
        char* base = buffer.get();
        const ssize_t n = fileio::ReadSome(m_fd, base + kept, capacity - kept);
        if (n < 0) {
            return Fail(errno);
        }
        if (n == 0) {
            // The last line has no line feed: it is kept whole, a carriage
            // return at its end included.
            if (kept > 0) {
                line(std::string_view(base, kept));
            }
            return true;
        }
        const char* p = base;
        const char* end = base + kept + static_cast<std::size_t>(n);
        for (;;) {
            const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
            if (found == nullptr) {
                break;
            }
            const char* newline = static_cast<const char*>(found);
            const char* stop = newline > p && newline[-1] == '\r' ? newline - 1 : newline;
            if (!line(std::string_view(p, static_cast<std::size_t>(stop - p)))) {
                return true;
            }
            p = newline + 1;
        }
        kept = static_cast<std::size_t>(end - p);
        std::memmove(base, p, kept);
    }
}

// ---- streaming import

int ImportDelimitedEntries(std::string_view text, const ColumnMapping& columns,
                           std::string_view white, std::string_view breaks,
                           clausedb::CExprDatabase& db, StagedEntries& staged) {
    auto forEachLine = [text](auto&& fn) {
        ForEachLineOf(text, fn);
        return true;
    };
    return StageLines(forEachLine, columns, white, breaks, db, staged);
}

int ImportDelimitedEntries(CDelimitedTextFile& file, const ColumnMapping& columns,
                           std::string_view white, std::string_view breaks,
                           clausedb::CExprDatabase& db, StagedEntries& staged) {
    auto forEachLine = [&file](auto&& fn) { return file.ForEachLineUntil(fn); };
    return StageLines(forEachLine, columns, white, breaks, db, staged);
}

}  // namespace addressbook
