// Micro benchmarks of the core libraries over generated books: reading and
// writing clause text, splitting delimited lines, and the import and export
// engines.  The books are made in-process (the same contacts as the files of
// quillbox_generate_books), so no data folder is needed.
//
//   quillbox_core_bench [--benchmark_filter=REGEX] [...]
#include <benchmark/benchmark.h>

#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/delimited_export.h"
#include "addressbook/delimited_import.h"
#include "addressbook/delimited_token.h"
#include "addressbook/entry_identity.h"
#include "addressbook/header_import.h"
#include "addressbook/vcard_export.h"
#include "addressbook/vcard_import.h"
#include "addressbook/vector_address_list.h"
#include "clausedb/expr_database.h"
#include "support/book_generator.h"
#include "support/book_io.h"

namespace {

using addressbook::ColumnMapping;
using clausedb::CExprDatabase;

// Book text with bare line feeds (as the reader sees it), made once per size.
const std::string& BookText(int count) {
    static std::map<int, std::string> cache;
    auto it = cache.find(count);
    if (it == cache.end()) {
        it = cache.emplace(count, bench::MakeBookText(count, bench::kDefaultSeed, false)).first;
    }
    return it->second;
}

// The delimited export of the same book (header line first), made once.
const std::string& DelimitedText(int count, char separator) {
    static std::map<std::pair<int, char>, std::string> cache;
    const auto key = std::make_pair(count, separator);
    auto it = cache.find(key);
    if (it == cache.end()) {
        it = cache.emplace(key, bench::MakeDelimitedText(count, bench::kDefaultSeed, separator))
                 .first;
    }
    return it->second;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// Field i in column i + 1: the layout of the generated delimited files.
ColumnMapping AllColumns() {
    ColumnMapping columns{};
    for (int i = 0; i < addressbook::kFieldCount; ++i) {
        columns[static_cast<std::size_t>(i)] = i + 1;
    }
    return columns;
}

// Reads the book of `state.range(0)` contacts into `list`; on any failure
// marks the benchmark as skipped and returns false.
bool LoadListOrSkip(benchmark::State& state, addressbook::VectorAddressList& list) {
    const int count = static_cast<int>(state.range(0));
    if (testsupport::LoadBookText(BookText(count), list) != count) {
        state.SkipWithError("the generated book did not load");
        return false;
    }
    return true;
}

void BM_ReadText(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& text = BookText(count);
    CExprDatabase db;
    std::size_t storeBytes = 0;
    for (auto _ : state) {
        if (!db.ReadText(text) || db.CountClauses() != count) {
            state.SkipWithError("the generated book did not read back");
            break;
        }
        state.PauseTiming();
        storeBytes = db.Store().BytesReserved();
        db.RemoveAllClauses();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["store_bytes"] = static_cast<double>(storeBytes);
    state.counters["store_per_text_byte"] =
        static_cast<double>(storeBytes) / static_cast<double>(text.size());
}
BENCHMARK(BM_ReadText)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// A stream buffer that only counts, so that the writer is measured rather
// than the growth of a string stream's buffer.
class CountingBuffer : public std::streambuf {
public:
    std::size_t Count() const { return m_count; }

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        m_count += static_cast<std::size_t>(n);
        return n;
    }
    int_type overflow(int_type ch) override {
        ++m_count;
        return traits_type::not_eof(ch);
    }

private:
    std::size_t m_count = 0;
};

void BM_WriteToStream(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& text = BookText(count);
    CExprDatabase db;
    if (!db.ReadText(text)) {
        state.SkipWithError("the generated book did not read back");
        return;
    }
    std::size_t written = 0;
    for (auto _ : state) {
        CountingBuffer sink;
        std::ostream out(&sink);
        db.WriteToStream(out);
        written = sink.Count();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * written));
    // The writer must reproduce the text it read, byte for byte.
    std::ostringstream copy;
    db.WriteToStream(copy);
    state.counters["same_as_input"] = copy.view() == text ? 1 : 0;
}
BENCHMARK(BM_WriteToStream)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Open as the document does it: each clause becomes an entry as soon as it
// is read, then the entries become rows.
void BM_ReadBook(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& text = BookText(count);
    CExprDatabase db;
    for (auto _ : state) {
        addressbook::VectorAddressList list;
        addressbook::StagedEntries staged;
        if (!addressbook::ReadBookText(db, text, staged) ||
            addressbook::LoadEntries(staged, list) != count) {
            state.SkipWithError("not every clause became an entry");
            break;
        }
        state.PauseTiming();
        list.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ReadBook)->Arg(10000)->Unit(benchmark::kMillisecond);

// Save as the document does it: each entry's clause written straight from
// its texts (the file itself left out).
void BM_WriteEntryClauses(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    addressbook::VectorAddressList list;
    if (!LoadListOrSkip(state, list)) {
        return;
    }
    CExprDatabase db;
    std::string text;
    for (auto _ : state) {
        text.clear();
        int row = 0;
        db.WriteToString(text, clausedb::LineEnd::CrLf, [&](clausedb::CClauseSink& sink) {
            if (row == count) {
                return false;
            }
            addressbook::WriteEntryClause(sink, db.Store(), list.EntryAt(row++));
            return true;
        });
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_WriteEntryClauses)->Arg(10000)->Unit(benchmark::kMillisecond);

// Splits every line of the delimited book with the one-call tokenizer.
void BM_NextDelimitedToken(benchmark::State& state) {
    const char separator = state.range(1) != 0 ? '\t' : ',';
    const std::string_view white =
        separator == ',' ? addressbook::kCommaWhite : addressbook::kTabWhite;
    const std::string_view breaks =
        separator == ',' ? addressbook::kCommaBreaks : addressbook::kTabBreaks;
    const std::string& text = DelimitedText(static_cast<int>(state.range(0)), separator);
    const std::vector<std::string_view> lines = SplitLines(text);
    std::int64_t fields = 0;
    for (auto _ : state) {
        fields = 0;
        for (std::string_view line : lines) {
            std::size_t position = 0;
            while (auto token = addressbook::NextDelimitedToken(line, position, white, breaks,
                                                                addressbook::kImportQuotes,
                                                                addressbook::kImportEscape)) {
                benchmark::DoNotOptimize(token->data());
                ++fields;
            }
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["fields_per_line"] =
        static_cast<double>(fields) / static_cast<double>(lines.size());
}
BENCHMARK(BM_NextDelimitedToken)
    ->ArgNames({"contacts", "tab"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

// The same with the splitter whose character classes are prepared once:
// each field copied out (argument 0), or taken as a view as the import
// takes it (argument 1).
void BM_DelimitedSplitter(benchmark::State& state) {
    const std::string& text = DelimitedText(static_cast<int>(state.range(0)), ',');
    const std::vector<std::string_view> lines = SplitLines(text);
    const addressbook::CDelimitedSplitter splitter(
        addressbook::kCommaWhite, addressbook::kCommaBreaks, addressbook::kImportQuotes,
        addressbook::kImportEscape);
    const bool views = state.range(1) != 0;
    std::string token;
    std::string_view field;
    for (auto _ : state) {
        for (std::string_view line : lines) {
            std::size_t position = 0;
            while (views ? splitter.NextView(line, position, field, token)
                         : splitter.Next(line, position, token)) {
                benchmark::DoNotOptimize(views ? field.data() : token.data());
            }
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DelimitedSplitter)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);

// Import engine: each delimited line to an entry, then the entries to rows.
void BM_Import(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& text = DelimitedText(count, ',');
    const ColumnMapping columns = AllColumns();
    CExprDatabase db;
    for (auto _ : state) {
        addressbook::VectorAddressList list;
        addressbook::StagedEntries staged;
        const int imported = addressbook::ImportDelimited(text, columns, addressbook::kCommaWhite,
                                                          addressbook::kCommaBreaks, db, staged);
        // The header line is imported like any other line.
        if (imported != count + 1 || addressbook::LoadEntries(staged, list) != imported) {
            state.SkipWithError("the import lost lines");
            break;
        }
        state.PauseTiming();
        list.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Import)->Arg(10000)->Unit(benchmark::kMillisecond);

// Export engine: each row to a clause (header first) and at once to its line.
void BM_Export(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    addressbook::VectorAddressList list;
    if (!LoadListOrSkip(state, list)) {
        return;
    }
    const ColumnMapping columns = AllColumns();
    std::string out;
    for (auto _ : state) {
        if (testsupport::ExportToText(list, columns, ',', out) != count + 1) {
            state.SkipWithError("the export lost lines");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
    // An export of every field in field order reproduces the generated file.
    state.counters["same_as_generated"] = out == DelimitedText(count, ',') ? 1 : 0;
}
BENCHMARK(BM_Export)->Arg(10000)->Unit(benchmark::kMillisecond);

// The export for spreadsheets (quotes doubled, "<p>" in Notes as a line
// break, no separator after the last field).
void BM_ExportRfc4180(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    addressbook::VectorAddressList list;
    if (!LoadListOrSkip(state, list)) {
        return;
    }
    std::string out;
    for (auto _ : state) {
        if (testsupport::ExportToText(list, AllColumns(), ',', out,
                                      addressbook::ExportQuoting::kRfc4180) != count + 1) {
            state.SkipWithError("the export lost lines");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}
BENCHMARK(BM_ExportRfc4180)->Arg(10000)->Unit(benchmark::kMillisecond);

// The import that matches columns by the first line: Arg 0 reads the plain
// export (this program's own rules), Arg 1 the export for spreadsheets (RFC
// 4180 rules).
void BM_ImportWithHeader(benchmark::State& state) {
    constexpr int kCount = 10000;
    std::string text = DelimitedText(kCount, ',');
    if (state.range(0) == 1) {
        addressbook::VectorAddressList list;
        if (testsupport::LoadBookText(BookText(kCount), list) != kCount) {
            state.SkipWithError("the generated book did not load");
            return;
        }
        testsupport::ExportToText(list, AllColumns(), ',', text,
                                  addressbook::ExportQuoting::kRfc4180);
    }
    for (auto _ : state) {
        addressbook::StagedEntries staged;
        addressbook::HeaderImportReport report;
        if (addressbook::ImportWithHeaderText(text, ',', AllColumns(), staged, report) != kCount) {
            state.SkipWithError("the import lost rows");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ImportWithHeader)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The cards of the book as `export --vcard` writes them (3.0), made once.
const std::string& VCardBookText(benchmark::State& state, const addressbook::IAddressList& list) {
    static std::map<int, std::string> cache;
    std::string& text = cache[static_cast<int>(state.range(0))];
    if (text.empty()) {
        const std::vector<std::string> uids = addressbook::ExportUids(list);
        for (int row = 0; row < list.RowCount(); ++row) {
            text += addressbook::VCardText(list.EntryAt(row), addressbook::vcard::Version::V30,
                                           uids[static_cast<std::size_t>(row)]);
        }
    }
    return text;
}

// vCard export engine: entries to folded card text, UIDs derived.
void BM_VCardExport(benchmark::State& state) {
    addressbook::VectorAddressList list;
    if (!LoadListOrSkip(state, list)) {
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<std::string> uids = addressbook::ExportUids(list);
        bytes = 0;
        for (int row = 0; row < list.RowCount(); ++row) {
            bytes += addressbook::VCardText(list.EntryAt(row), addressbook::vcard::Version::V30,
                                            uids[static_cast<std::size_t>(row)])
                         .size();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_VCardExport)->Arg(10000)->Unit(benchmark::kMillisecond);

// vCard import engine: card text to staged entries.
void BM_VCardImport(benchmark::State& state) {
    addressbook::VectorAddressList list;
    if (!LoadListOrSkip(state, list)) {
        return;
    }
    const std::string& text = VCardBookText(state, list);
    for (auto _ : state) {
        addressbook::StagedEntries staged;
        addressbook::VCardImportReport report;
        if (addressbook::ImportVCardEntriesFromBytes(text, staged, report) != list.RowCount()) {
            state.SkipWithError("the import lost cards");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_VCardImport)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
