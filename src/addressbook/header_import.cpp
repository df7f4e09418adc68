#include "addressbook/header_import.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "addressbook/column_aliases.h"
#include "addressbook/csv_row_mapping.h"
#include "addressbook/delimited_token.h"
#include "addressbook/rfc4180.h"

namespace addressbook {

namespace {

std::string_view WhiteOf(char separator) {
    return separator == '\t' ? kTabWhite : kCommaWhite;
}
std::string_view BreaksOf(char separator) {
    return separator == '\t' ? kTabBreaks : kCommaBreaks;
}

// Records of a file by either rule set, fed one line at a time.
class CRecordReader {
public:
    CRecordReader(char separator, HeaderFileRules rules)
        : m_rules(rules),
          m_rfc(separator),
          m_splitter(WhiteOf(separator), BreaksOf(separator), kImportQuotes, kImportEscape) {}

    // True when the line (number `line`) ends a record.
    bool AddLine(std::string_view text, int line) {
        if (m_nStart == 0) {
            m_nStart = line;
        }
        m_bEmptyLine = text.empty() && !m_rfc.InQuote() && m_open == '\0';
        bool done;
        if (m_rules == HeaderFileRules::kRfc4180) {
            done = m_rfc.AddLine(text);
        } else if (m_pending.empty() && m_open == '\0' &&
                   OpenQuoteAtEnd(text, '\0', kImportQuotes, kImportEscape) == '\0') {
            Split(text);
            done = true;
        } else {
            if (m_open != '\0') {
                m_pending += '\n';
            }
            m_pending += text;
            m_open = OpenQuoteAtEnd(text, m_open, kImportQuotes, kImportEscape);
            done = m_open == '\0';
            if (done) {
                Split(m_pending);
                m_pending.clear();
            }
        }
        if (done) {
            m_nStart = 0;
        }
        return done;
    }

    // At the end of the file: true when a record was left open; its line.
    bool Finish(int& openedOn) {
        openedOn = m_nStart;
        if (m_rules == HeaderFileRules::kRfc4180) {
            return m_rfc.Finish();
        }
        if (m_open == '\0') {
            return false;
        }
        Split(m_pending);
        m_pending.clear();
        m_open = '\0';
        return true;
    }

    const std::vector<std::string>& Fields() const {
        return m_rules == HeaderFileRules::kRfc4180 ? m_rfc.Fields() : m_fields;
    }
    // 0 for an empty line (RFC 4180 reads it as one empty field).
    std::size_t FieldCount() const {
        return m_bEmptyLine                           ? 0
               : m_rules == HeaderFileRules::kRfc4180 ? m_rfc.FieldCount()
                                                      : m_nFields;
    }

private:
    void Split(std::string_view text) {
        m_nFields = 0;
        std::size_t position = 0;
        for (;;) {
            if (m_nFields == m_fields.size()) {
                m_fields.emplace_back();
            }
            if (!m_splitter.Next(text, position, m_fields[m_nFields])) {
                break;
            }
            ++m_nFields;
        }
    }

    HeaderFileRules m_rules;
    CRfc4180Reader m_rfc;
    CDelimitedSplitter m_splitter;
    std::string m_pending;  // the lines of a record whose quote is open
    char m_open = '\0';
    std::vector<std::string> m_fields;
    std::size_t m_nFields = 0;
    int m_nStart = 0;  // the line where the current record began
    bool m_bEmptyLine = false;
};

// Calls `record(fields, count)` for every record the lines of
// `forEachLine` give, until it returns false.  Sets `unclosedLine` when the
// last record's quote was never closed.  False when reading failed.
template <typename ForEachLine, typename Record>
bool ForEachRecord(ForEachLine&& forEachLine, char separator, HeaderFileRules rules,
                   Record&& record, int& unclosedLine) {
    CRecordReader reader(separator, rules);
    int line = 0;
    bool stopped = false;
    const bool ok = forEachLine([&](std::string_view text) {
        if (reader.AddLine(text, ++line) && !record(reader.Fields(), reader.FieldCount())) {
            stopped = true;
            return false;
        }
        return true;
    });
    unclosedLine = 0;
    int openedOn = 0;
    if (ok && !stopped && reader.Finish(openedOn)) {
        unclosedLine = openedOn;
        record(reader.Fields(), reader.FieldCount());
    }
    return ok;
}

template <typename ForEachLine>
bool ReadHeader(ForEachLine&& forEachLine, char separator, CsvHeader& header) {
    header = CsvHeader{};
    std::optional<std::string> first;
    if (!forEachLine([&first](std::string_view line) {
            first.emplace(line);
            return false;
        }) ||
        !first) {
        return false;
    }
    // This program's plain export: its words, and a separator after each.
    CRecordReader own(separator, HeaderFileRules::kQuillbox);
    if (!first->empty() && first->back() == separator && own.AddLine(*first, 1)) {
        const auto begin = own.Fields().begin();
        header.names.assign(begin, begin + static_cast<std::ptrdiff_t>(own.FieldCount()));
        if (IsOwnHeader(header.names)) {
            header.rules = HeaderFileRules::kQuillbox;
            return true;
        }
        header.names.clear();
    }
    int unclosed = 0;
    return ForEachRecord(
        forEachLine, separator, HeaderFileRules::kRfc4180,
        [&header](const std::vector<std::string>& fields, std::size_t count) {
            header.names.assign(fields.begin(),
                                fields.begin() + static_cast<std::ptrdiff_t>(count));
            return false;
        },
        unclosed);
}

template <typename ForEachLine>
int Import(ForEachLine&& forEachLine, char separator, const ColumnMapping& columns,
           StagedEntries& staged, HeaderImportReport& report) {
    staged.Clear();
    report = HeaderImportReport{};
    CsvHeader header;
    if (!ReadHeader(forEachLine, separator, header)) {
        return 0;  // empty (a failed read shows in the file's error)
    }
    // This program writes an entry whose fields are all empty as a row of
    // empty values; anything else writes such rows for blank lines.
    const CCsvRowMapper mapper(header.names, columns, header.rules == HeaderFileRules::kRfc4180,
                               IsOwnHeader(header.names));
    bool first = true;
    const bool ok = ForEachRecord(
        forEachLine, separator, header.rules,
        [&](const std::vector<std::string>& fields, std::size_t count) {
            if (first) {
                first = false;  // the names
                return true;
            }
            if (std::optional<CAddressEntry> entry = mapper.EntryOf(fields, count, report.kept)) {
                staged.entries.push_back(std::make_unique<CAddressEntry>(std::move(*entry)));
            }
            return true;
        },
        report.unclosedQuoteLine);
    if (!ok) {
        staged.Clear();
        report = HeaderImportReport{};
        return -1;
    }
    report.imported = static_cast<int>(staged.entries.size());
    staged.announcedRows = report.imported;
    return report.imported;
}

auto LinesOfFile(CDelimitedTextFile& file) {
    return [&file](auto&& fn) { return file.ForEachLineUntil(fn); };
}

auto LinesOfText(std::string_view text) {
    return [text](auto&& fn) {
        ForEachLineOfText(text, fn);
        return true;
    };
}

}  // namespace

bool ReadCsvHeader(CDelimitedTextFile& file, char separator, CsvHeader& header) {
    return ReadHeader(LinesOfFile(file), separator, header);
}

bool ReadCsvHeaderText(std::string_view text, char separator, CsvHeader& header) {
    return ReadHeader(LinesOfText(text), separator, header);
}

int ImportWithHeader(CDelimitedTextFile& file, char separator, const ColumnMapping& columns,
                     StagedEntries& staged, HeaderImportReport& report) {
    return Import(LinesOfFile(file), separator, columns, staged, report);
}

int ImportWithHeaderText(std::string_view text, char separator, const ColumnMapping& columns,
                         StagedEntries& staged, HeaderImportReport& report) {
    return Import(LinesOfText(text), separator, columns, staged, report);
}

std::string HeaderImportReportText(const HeaderImportReport& report) {
    std::string text = report.imported > 0
                           ? std::to_string(report.imported) + " addresses imported."
                           : "No addresses could be imported.";
    text += KeptSentence(report.kept);
    if (report.unclosedQuoteLine > 0) {
        text += " The entry that begins on line " + std::to_string(report.unclosedQuoteLine) +
                " opens a quote that is never closed: the rest of the file was read into it.";
    }
    return text;
}

}  // namespace addressbook
