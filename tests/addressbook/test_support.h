// Helpers shared by the address book tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addressbook/delimited_import.h"
#include "addressbook/vector_address_list.h"
#include "support/temp_folder.h"

namespace addressbook::testing {

using FieldValues = std::vector<std::pair<int, std::string>>;

inline ColumnMapping Columns(const std::vector<std::pair<int, int>>& fieldColumns) {
    ColumnMapping columns{};
    for (auto [field, column] : fieldColumns) {
        columns[static_cast<std::size_t>(field)] = column;
    }
    return columns;
}

inline void AppendEntries(VectorAddressList& list, const std::vector<FieldValues>& entries) {
    for (const FieldValues& values : entries) {
        auto entry = std::make_unique<CAddressEntry>();
        for (const auto& [index, text] : values) {
            entry->SetField(index, text);
        }
        ASSERT_TRUE(list.AppendEntry(std::move(entry)));
    }
}

// The non-empty fields of each row as "index=text", for readable failures.
inline std::vector<std::vector<std::string>> Describe(const VectorAddressList& list) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < list.RowCount(); ++row) {
        rows.emplace_back();
        for (int i = 0; i < kFieldCount; ++i) {
            if (!list.EntryAt(row).GetField(i).empty()) {
                rows.back().push_back(std::to_string(i) + "=" +
                                      std::string(list.EntryAt(row).GetField(i)));
            }
        }
    }
    return rows;
}

// One entry: its non-empty fields as "Attribute=text", then its extra
// attributes as "name=text".
inline std::vector<std::string> Describe(const CAddressEntry& entry) {
    std::vector<std::string> lines;
    for (int i = 0; i < kFieldCount; ++i) {
        if (!entry.GetField(i).empty()) {
            lines.push_back(std::string(FieldAt(i).attribute) + "=" +
                            std::string(entry.GetField(i)));
        }
    }
    for (CExtraTerm term = entry.Extra().First(); term; term = term.Next()) {
        lines.push_back(std::string(term.Name()) + "=" + std::string(term.Value().Text()));
    }
    return lines;
}

inline std::vector<std::vector<std::string>> Describe(const std::vector<FieldValues>& entries) {
    VectorAddressList list;
    AppendEntries(list, entries);
    return Describe(list);
}

// The shared temporary folder and file helpers, under the names these
// tests use.
using TempDir = testsupport::TempFolder;

inline std::string ReadBytes(const std::string& path) {
    return testsupport::ReadText(path);
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    testsupport::WriteText(path, bytes);
}

}  // namespace addressbook::testing
