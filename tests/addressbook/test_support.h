// Helpers shared by the address book tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addressbook/delimited_import.h"
#include "addressbook/vector_address_list.h"

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

// A fresh temporary folder, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillbox-ab-XXXXXX");
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace addressbook::testing
