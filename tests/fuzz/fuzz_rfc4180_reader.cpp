// Feeds arbitrary bytes to the RFC 4180 reader and the import of files
// whose first line names the columns, and checks:
// - every record has a field, and the fields never hold more bytes than
//   the text they were read from (each line break gives at most one);
// - the import stages one entry per record it counts, and its report can
//   be made, with the comma and with the tab;
// - values cut from the input at NUL bytes, exported in either form and
//   imported again, come back byte for byte.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/column_aliases.h"
#include "addressbook/delimited_export.h"
#include "addressbook/header_import.h"
#include "addressbook/rfc4180.h"
#include "addressbook/vector_address_list.h"

namespace {

using namespace addressbook;

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void ReadRecords(std::string_view text, char separator) {
    std::size_t bytes = 0;
    for (const std::vector<std::string>& record : ReadRfc4180Records(text, separator)) {
        Check(!record.empty());
        for (const std::string& field : record) {
            bytes += field.size();
        }
    }
    Check(bytes <= text.size());

    CsvHeader header;
    if (!ReadCsvHeaderText(text, separator, header)) {
        Check(text.empty());
        return;
    }
    StagedEntries staged;
    HeaderImportReport report;
    const int count =
        ImportWithHeaderText(text, separator, MatchColumns(header.names), staged, report);
    Check(count == static_cast<int>(staged.entries.size()));
    Check(!HeaderImportReportText(report).empty());
}

void RoundTrip(std::string_view data, char separator, ExportQuoting quoting) {
    VectorAddressList list;
    std::vector<std::string> values(1);
    for (char ch : data) {
        if (ch == '\0') {
            values.emplace_back();
        } else {
            values.back() += ch;
        }
    }
    for (const std::string& value : values) {
        auto entry = std::make_unique<CAddressEntry>();
        entry->SetField(LastName, value);
        Check(list.AppendEntry(std::move(entry)));
    }
    ColumnMapping columns{};
    columns[LastName] = 1;
    std::string text;
    Check(ExportDelimited(
              list, columns, separator,
              [&text](std::string_view bytes) {
                  text.append(bytes);
                  return true;
              },
              quoting) == static_cast<int>(values.size()) + 1);
    StagedEntries staged;
    HeaderImportReport report;
    Check(ImportWithHeaderText(text, separator, columns, staged, report) ==
          static_cast<int>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        Check(staged.entries[i]->GetField(LastName) == values[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char separator : {',', '\t'}) {
        ReadRecords(text, separator);
        RoundTrip(text, separator, ExportQuoting::kBackslash);
        RoundTrip(text, separator, ExportQuoting::kRfc4180);
    }
    return 0;
}
