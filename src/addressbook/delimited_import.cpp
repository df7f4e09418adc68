#include "addressbook/delimited_import.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/delimited_token.h"
#include "fileio/file_reading.h"
#include "fileio/text_encoding.h"
#include "fileio/utf8_check.h"

namespace addressbook {

namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 18;
std::size_t g_blockSizeForTesting = 0;

std::size_t BlockSize() {
    return g_blockSizeForTesting != 0 ? g_blockSizeForTesting : kReadBlock;
}

// Turns lines into entries: field i takes column columns[i] when the line
// has that column.
class LineImporter {
public:
    LineImporter(const ColumnMapping& columns, std::string_view white, std::string_view breaks)
        : m_fieldOf(FieldOf(columns)),
          m_splitter(white, breaks, kImportQuotes, kImportEscape),
          m_nMaxColumn(*std::max_element(columns.begin(), columns.end())),
          m_nMinColumn(LowestColumn(columns)),
          // Fields beyond the highest column number are never used, and
          // stopping there does not change which columns exist (c <= n holds
          // for every used c exactly when it holds with n capped at the
          // highest column).  Room for more than 256 is made when a line
          // needs it.
          m_fields(static_cast<std::size_t>(std::clamp(m_nMaxColumn, 0, 256))),
          m_scratch(m_fields.size()) {}

    // False when no field takes a column, so that no line can give an entry.
    bool CanImport() const { return m_nMaxColumn >= 1; }

    // The field texts of `line`'s entry (valid until the next line), or
    // false when the line fills no field.
    bool Texts(std::string_view line, FieldTexts& texts) {
        const std::size_t fieldCount = SplitLine(line);
        if (fieldCount < m_nMinColumn) {
            return false;  // no field takes a column
        }
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::size_t field = m_fieldOf[i];
            texts[i] = field < fieldCount ? m_fields[field] : std::string_view();
        }
        return true;
    }

private:
    // The field each text takes, 0-based; above any field count for none.
    static std::array<std::size_t, kFieldCount> FieldOf(const ColumnMapping& columns) {
        std::array<std::size_t, kFieldCount> fields{};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            fields[i] = columns[i] >= 1 ? static_cast<std::size_t>(columns[i] - 1)
                                        : std::numeric_limits<std::size_t>::max();
        }
        return fields;
    }

    // The lowest column number a field takes (above any field count when
    // none does).
    static std::size_t LowestColumn(const ColumnMapping& columns) {
        int lowest = std::numeric_limits<int>::max();
        for (int column : columns) {
            if (column >= 1) {
                lowest = std::min(lowest, column);
            }
        }
        return static_cast<std::size_t>(lowest);
    }

    // Splits `line` into m_fields, up to the highest column; the number of
    // fields.
    std::size_t SplitLine(std::string_view line) {
        for (;;) {
            std::size_t position = 0;
            const std::size_t count = m_splitter.NextViews(line, position, m_fields, m_scratch);
            if (count < m_fields.size() || count == static_cast<std::size_t>(m_nMaxColumn) ||
                position >= line.size()) {
                return count;
            }
            // More fields than room: grow, and split the line again, since
            // views into the scratch texts do not survive their move.
            const std::size_t room =
                std::min(2 * m_fields.size(), static_cast<std::size_t>(m_nMaxColumn));
            m_fields.resize(room);
            m_scratch.resize(room);
        }
    }

    const std::array<std::size_t, kFieldCount> m_fieldOf;
    const CDelimitedSplitter m_splitter;
    const int m_nMaxColumn;
    const std::size_t m_nMinColumn;
    // The fields of the line, and room for those whose text is not a run of
    // the line's bytes; reused from line to line.
    std::vector<std::string_view> m_fields;
    std::vector<std::string> m_scratch;
};

// The import over any source of lines: `entry` is called with the texts of
// each line that fills a field.  Returns the number of such lines, or -1
// when reading failed part-way.
template <typename ForEachLine>
int VisitEntries(ForEachLine&& forEachLine, const ColumnMapping& columns, std::string_view white,
                 std::string_view breaks, const DelimitedEntrySink& entry) {
    LineImporter importer(columns, white, breaks);
    if (!importer.CanImport()) {
        return 0;
    }
    int count = 0;
    FieldTexts texts;
    const bool ok = forEachLine([&](std::string_view line) {
        if (importer.Texts(line, texts)) {
            entry(texts);
            ++count;
        }
        return true;
    });
    return ok ? count : -1;
}

// Stages the entries that `visit` (VisitEntries over some lines) gives.
template <typename Visit>
int StageEntries(Visit&& visit, clausedb::CExprDatabase& db, StagedEntries& staged) {
    db.RemoveAllClauses();
    staged.Clear();
    const int count = visit([&staged](const FieldTexts& texts) {
        auto entry = std::make_unique<CAddressEntry>();
        entry->AssignFields(texts);
        staged.entries.push_back(std::move(entry));
    });
    if (count < 0) {
        staged.Clear();
        return -1;
    }
    staged.announcedRows = count;
    return count;
}

}  // namespace

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
    m_bUtf8 = false;
    m_bStartOver = false;
    m_strText.clear();
    m_nSkip = 0;
    m_strError.clear();
    m_nErrno = 0;

    bool regular = false;
    int err = 0;
    m_fd = fileio::OpenForReading(path, regular, err);
    if (m_fd < 0) {
        return Fail(err);
    }
    // A pipe can be read once only, so it is read whole.
    if (!regular) {
        return ReadDecoded();
    }
    // Plain UTF-8 is read in blocks later, and checked as it is read.  A
    // UTF-16 byte-order mark says now that the text must be decoded whole.
    char head[3] = {};
    std::size_t headSize = 0;
    while (headSize < sizeof head) {
        const ssize_t n =
            fileio::ReadSomeAt(m_fd, head + headSize, sizeof head - headSize, headSize);
        if (n < 0) {
            return Fail(errno);
        }
        if (n == 0) {
            break;
        }
        headSize += static_cast<std::size_t>(n);
    }
    const std::string_view mark(head, headSize);
    if (mark.starts_with("\xFF\xFE") || mark.starts_with("\xFE\xFF")) {
        return ReadDecoded();
    }
    if (mark == "\xEF\xBB\xBF") {
        m_nSkip = 3;
    }
    return true;
}

bool CDelimitedTextFile::ReadDecoded() {
    int err = 0;
    if (lseek(m_fd, 0, SEEK_SET) < 0 && errno != ESPIPE) {
        return Fail(errno);
    }
    m_strText.clear();
    if (!fileio::ReadToEnd(m_fd, m_strText, err)) {
        return Fail(err);
    }
    fileio::DecodeToUtf8(m_strText);
    ::close(m_fd);
    m_fd = -1;
    m_bWhole = true;
    return true;
}

bool CDelimitedTextFile::FindEncoding() {
    if (m_bWhole || m_bUtf8) {
        return true;
    }
    if (m_fd < 0) {
        return false;
    }
    if (lseek(m_fd, 0, SEEK_SET) < 0) {
        return Fail(errno);
    }
    fileio::TextEncoding encoding = fileio::TextEncoding::kOther;
    int err = 0;
    if (!fileio::ScanTextEncoding(m_fd, encoding, err)) {
        return Fail(err);
    }
    if (encoding == fileio::TextEncoding::kOther) {
        return ReadDecoded();
    }
    m_bUtf8 = true;
    return true;
}

std::optional<std::string> CDelimitedTextFile::FirstLine() {
    std::optional<std::string> first;
    auto takeFirst = [&first](std::string_view line) {
        first.emplace(line);
        return false;
    };
    if (!ForEachLineChecking(takeFirst) && !(m_bStartOver && ForEachLineUntil(takeFirst))) {
        return std::nullopt;
    }
    // A first line of ASCII reads the same whatever the rest of the file
    // turns out to be; any other needs the encoding of the whole file.
    const bool ascii = !first || fileio::IsAscii(*first);
    if (!ascii && !(m_bWhole || m_bUtf8)) {
        first.reset();
        if (!ForEachLineUntil(takeFirst)) {
            return std::nullopt;
        }
    }
    return first;
}

bool CDelimitedTextFile::ForEachLineUntil(const std::function<bool(std::string_view)>& line) {
    return ReadLines(line, false);
}

bool CDelimitedTextFile::ForEachLineChecking(const std::function<bool(std::string_view)>& line) {
    return ReadLines(line, true);
}

bool CDelimitedTextFile::ReadLines(const std::function<bool(std::string_view)>& line,
                                   bool checkAsRead) {
    m_bStartOver = false;
    if (!checkAsRead && !FindEncoding()) {
        return false;
    }
    if (m_bWhole) {
        ForEachLineOfText(m_strText, line);
        return true;
    }
    if (m_fd < 0) {
        return false;
    }
    if (lseek(m_fd, static_cast<off_t>(m_nSkip), SEEK_SET) < 0) {
        return Fail(errno);
    }
    const bool check = !m_bUtf8;
    fileio::Utf8StreamCheck utf8;
    // Lines handed out so far were not the text: read it decoded instead.
    auto startOver = [this] {
        m_bStartOver = ReadDecoded();
        return false;
    };
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
            if (check && !utf8.Finish()) {
                return startOver();
            }
            m_bUtf8 = true;
            ForEachLineOfText(std::string_view(base, kept), line);
            return true;
        }
        if (check && !utf8.Feed(std::string_view(base + kept, static_cast<std::size_t>(n)))) {
            return startOver();
        }
        bool stopped = false;
        const char* end = base + kept + static_cast<std::size_t>(n);
        const char* rest = SplitLines(base, end, line, stopped);
        if (stopped) {
            return true;
        }
        kept = static_cast<std::size_t>(end - rest);
        std::memmove(base, rest, kept);
    }
}

// ---- import

bool IsVCardFirstLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return false;
    }
    line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
    constexpr std::string_view kBegin = "BEGIN:VCARD";
    return line.size() == kBegin.size() &&
           std::equal(line.begin(), line.end(), kBegin.begin(), [](char a, char b) {
               return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
           });
}

int ForEachDelimitedEntry(CDelimitedTextFile& file, const ColumnMapping& columns,
                          std::string_view white, std::string_view breaks,
                          const DelimitedEntrySink& entry) {
    auto forEachLine = [&file](auto&& fn) { return file.ForEachLineChecking(fn); };
    return VisitEntries(forEachLine, columns, white, breaks, entry);
}

int ImportDelimited(std::string_view text, const ColumnMapping& columns, std::string_view white,
                    std::string_view breaks, clausedb::CExprDatabase& db, StagedEntries& staged) {
    auto forEachLine = [text](auto&& fn) {
        ForEachLineOfText(text, fn);
        return true;
    };
    return StageEntries(
        [&](const DelimitedEntrySink& entry) {
            return VisitEntries(forEachLine, columns, white, breaks, entry);
        },
        db, staged);
}

int ImportDelimited(CDelimitedTextFile& file, const ColumnMapping& columns, std::string_view white,
                    std::string_view breaks, clausedb::CExprDatabase& db, StagedEntries& staged) {
    auto stage = [&] {
        return StageEntries(
            [&](const DelimitedEntrySink& entry) {
                return ForEachDelimitedEntry(file, columns, white, breaks, entry);
            },
            db, staged);
    };
    const int count = stage();
    return count < 0 && file.StartOver() ? stage() : count;
}

}  // namespace addressbook
