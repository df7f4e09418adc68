// CAddressEntry: one contact, exactly 32 text fields in field order.
//
// A window may show books of 100,000 entries, and most fields of most
// entries are empty, so an entry keeps everything in one compact heap block:
// a bit mask of the fields that are not empty, the end offset of each of
// those fields (16-bit while the texts total less than 64 KiB, 32-bit
// beyond), and their texts end to end.  An entry with every field empty
// holds no block.  Texts are UTF-8 and may hold any bytes, line breaks
// included.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "addressbook/field_table.h"

namespace addressbook {

class CAddressEntry {
public:
    // All 32 fields empty.
    CAddressEntry() = default;
    CAddressEntry(const CAddressEntry& other);
    CAddressEntry& operator=(const CAddressEntry& other);
    CAddressEntry(CAddressEntry&&) noexcept = default;
    CAddressEntry& operator=(CAddressEntry&&) noexcept = default;
    ~CAddressEntry() = default;

    // Field `index` (0 to 31).  The view stays valid until the entry changes.
    std::string_view GetField(int index) const;
    // All 32 fields at once (faster than 32 calls of GetField).
    void GetFields(std::array<std::string_view, kFieldCount>& texts) const;
    // Replaces field `index` (0 to 31) with a copy of `text`.
    void SetField(int index, std::string_view text);
    // Sets all 32 fields at once.
    void AssignFields(const std::array<std::string_view, kFieldCount>& texts);

    // Total bytes of text held by the 32 fields.
    std::size_t TextSize() const;

    bool operator==(const CAddressEntry& other) const;

private:
    std::size_t BlockSize() const;

    std::unique_ptr<char[]> m_pBlock;  // null when every field is empty
};

}  // namespace addressbook
