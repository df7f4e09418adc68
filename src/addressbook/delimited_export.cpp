#include "addressbook/delimited_export.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "fileio/atomic_file.h"
#include "fileio/byte_scan.h"

namespace addressbook {

namespace {

// Lines go to the sink in blocks of about this size.
constexpr std::size_t kExportBlock = std::size_t{1} << 18;

// Exported text being collected: lines are written in place.
class TextBlock {
public:
    // Room for `size` more bytes, written from the returned pointer;
    // Commit() then takes the end of what was written.
    char* Room(std::size_t size) {
        if (m_nSize + size > m_nCapacity) {
            const std::size_t capacity = std::max(m_nCapacity * 2, m_nSize + size);
            std::unique_ptr<char[]> bigger(new char[capacity]);
            if (m_nSize > 0) {
                std::memcpy(bigger.get(), m_pData.get(), m_nSize);
            }
            m_pData = std::move(bigger);
            m_nCapacity = capacity;
        }
        return m_pData.get() + m_nSize;
    }
    void Commit(const char* end) { m_nSize = static_cast<std::size_t>(end - m_pData.get()); }
    std::string_view View() const { return {m_pData.get(), m_nSize}; }
    std::size_t Size() const { return m_nSize; }
    void Clear() { m_nSize = 0; }

private:
    std::unique_ptr<char[]> m_pData;
    std::size_t m_nSize = 0;
    std::size_t m_nCapacity = 0;
};

// The bytes PutText does not copy as they are, by quoting: a line feed
// (written as CR LF, as a text-mode write would) for both; a double quote
// and a backslash for kStopBackslash, a double quote for kStopRfc4180.
constexpr std::uint8_t kStopBackslash = 1;
constexpr std::uint8_t kStopRfc4180 = 2;

// The first byte of [p, end) that `stop` selects, or `end`.
const char* FindStop(const char* p, const char* end, std::uint8_t stop) {
    return (stop & kStopBackslash) != 0 ? fileio::FindFirstOf(p, end, '"', '\n', '\\')
                                        : fileio::FindFirstOf(p, end, '"', '\n');
}

// Writes `text` from `o` and returns the end: a line feed as CR LF, every
// other byte `stop` selects with `mark` before it, the rest as it is.
char* PutText(char* o, std::string_view text, std::uint8_t stop, char mark) {
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* const at = FindStop(p, end, stop);
        std::memcpy(o, p, static_cast<std::size_t>(at - p));
        o += at - p;
        if (at == end) {
            break;
        }
        *o++ = *at == '\n' ? '\r' : mark;
        *o++ = *at;
        p = at + 1;
    }
    return o;
}

// The plain export: a double quote or a backslash gets a backslash before
// it, which the import reads as the character itself.
char* PutEscaped(char* o, std::string_view text) {
    return PutText(o, text, kStopBackslash, '\\');
}

// RFC 4180: a double quote doubled; in Notes, "<p>" as a line break.
char* PutRfc4180(char* o, std::string_view text, bool notes) {
    if (notes) {
        for (std::size_t at = text.find("<p>"); at != std::string_view::npos;
             at = text.find("<p>")) {
            o = PutText(o, text.substr(0, at), kStopRfc4180, '"');
            *o++ = '\r';
            *o++ = '\n';
            text.remove_prefix(at + 3);
        }
    }
    return PutText(o, text, kStopRfc4180, '"');
}

// The column layout of an export and the line of one entry.
class ExportLayout {
public:
    explicit ExportLayout(const ColumnMapping& columns)
        : m_nMaxColumn(std::max(0, *std::max_element(columns.begin(), columns.end()))) {
        if (m_nMaxColumn > kMaxExportColumn) {
            return;
        }
        // m_fieldOfColumn[k]: the field written in column k, the later field
        // in field order when several share k; -1 for a gap.  Column 0 is
        // never written.
        m_fieldOfColumn.assign(static_cast<std::size_t>(m_nMaxColumn) + 1, -1);
        for (int i = 0; i < kFieldCount; ++i) {
            const int column = columns[static_cast<std::size_t>(i)];
            if (column > 0) {
                m_fieldOfColumn[static_cast<std::size_t>(column)] = i;
            }
        }
    }

    bool TooLarge() const { return m_nMaxColumn > kMaxExportColumn; }
    bool WritesNothing() const { return m_nMaxColumn == 0; }

    // Appends the line of the field texts `texts`, line end included.
    void AppendLine(const std::array<std::string_view, kFieldCount>& texts, char separator,
                    ExportQuoting quoting, TextBlock& out) {
        // Each column takes its quotes and separator and at most two bytes
        // for each byte of its text (a line feed, a quote or a backslash;
        // "<p>" takes two for three).
        std::size_t bound = 2 + 3 * static_cast<std::size_t>(m_nMaxColumn);
        for (int k = 1; k <= m_nMaxColumn; ++k) {
            const int field = m_fieldOfColumn[static_cast<std::size_t>(k)];
            if (field >= 0) {
                bound += 2 * texts[static_cast<std::size_t>(field)].size();
            }
        }
        char* o = out.Room(bound);
        for (int k = 1; k <= m_nMaxColumn; ++k) {
            const int field = m_fieldOfColumn[static_cast<std::size_t>(k)];
            *o++ = '"';
            if (field >= 0 && quoting == ExportQuoting::kRfc4180) {
                o = PutRfc4180(o, texts[static_cast<std::size_t>(field)], field == Notes);
            } else if (field >= 0) {
                o = PutEscaped(o, texts[static_cast<std::size_t>(field)]);
            }
            *o++ = '"';
            if (k < m_nMaxColumn || quoting == ExportQuoting::kBackslash) {
                *o++ = separator;
            }
        }
        *o++ = '\r';
        *o++ = '\n';
        out.Commit(o);
    }

private:
    int m_nMaxColumn;
    std::vector<int> m_fieldOfColumn;
};

}  // namespace

struct DelimitedExporter::Impl {
    Impl(const ColumnMapping& columns, char separator, TextSink sink, ExportQuoting quoting)
        : layout(columns), separator(separator), sink(std::move(sink)), quoting(quoting) {}

    ExportLayout layout;
    char separator;
    TextSink sink;
    ExportQuoting quoting;
    TextBlock block;
    int lines = 0;
    bool failed = false;
};

DelimitedExporter::DelimitedExporter(const ColumnMapping& columns, char separator, TextSink sink,
                                     ExportQuoting quoting)
    : m_pImpl(std::make_unique<Impl>(columns, separator, std::move(sink), quoting)) {
    if (m_pImpl->layout.TooLarge() || m_pImpl->layout.WritesNothing()) {
        return;
    }
    m_pImpl->block.Room(kExportBlock + (std::size_t{1} << 16));
    std::array<std::string_view, kFieldCount> headers;
    for (int i = 0; i < kFieldCount; ++i) {
        headers[static_cast<std::size_t>(i)] = FieldAt(i).header;
    }
    Add(headers);
}

DelimitedExporter::~DelimitedExporter() = default;

bool DelimitedExporter::Add(const std::array<std::string_view, kFieldCount>& texts) {
    Impl& d = *m_pImpl;
    if (d.failed || d.layout.TooLarge() || d.layout.WritesNothing()) {
        return false;
    }
    d.layout.AppendLine(texts, d.separator, d.quoting, d.block);
    ++d.lines;
    if (d.block.Size() >= kExportBlock) {
        d.failed = !d.sink(d.block.View());
        d.block.Clear();
    }
    return !d.failed;
}

int DelimitedExporter::Finish() {
    Impl& d = *m_pImpl;
    if (d.layout.TooLarge()) {
        return kExportColumnTooLarge;
    }
    if (!d.failed && d.block.Size() > 0) {
        d.failed = !d.sink(d.block.View());
        d.block.Clear();
    }
    return d.failed ? kExportWriteFailed : d.lines;
}

int ExportDelimited(const IAddressList& list, const ColumnMapping& columns, char separator,
                    const TextSink& sink, ExportQuoting quoting) {
    DelimitedExporter exporter(columns, separator, sink, quoting);
    std::array<std::string_view, kFieldCount> texts;
    const int rows = list.RowCount();
    for (int row = 0; row < rows; ++row) {
        list.EntryAt(row).GetFields(texts);
        if (!exporter.Add(texts)) {
            break;
        }
    }
    return exporter.Finish();
}

int ExportDelimited(const IAddressList& list, const ColumnMapping& columns, char separator,
                    fileio::AtomicFileWriter& writer, ExportQuoting quoting) {
    return ExportDelimited(
        list, columns, separator, [&writer](std::string_view bytes) { return writer.Write(bytes); },
        quoting);
}

}  // namespace addressbook
