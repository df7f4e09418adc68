// CAddressEntry: one contact, exactly 32 text fields in field order.
//
// A window may show books of 100,000 entries, and most fields of most
// entries are empty, so an entry keeps everything in one compact heap block:
// a bit mask of the fields that are not empty, the end offset of each of
// those fields (16-bit while the texts total less than 64 KiB, 32-bit
// beyond), and their texts end to end.  An entry with every field empty
// holds no block.  Texts are UTF-8 and may hold any bytes, line breaks
// included.
//
// What the entry's clause holds beyond the 32 fields (extra_data.h) lives in
// a second block, null for the many entries that have nothing more.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "addressbook/extra_data.h"
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

    // The clause arguments kept beyond the 32 fields (see extra_data.h).
    const CExtraData& Extra() const { return m_extra; }
    void SetExtra(CExtraData extra) { m_extra = std::move(extra); }

    bool operator==(const CAddressEntry& other) const;

private:
    std::size_t BlockSize() const;

    std::unique_ptr<char[]> m_pBlock;  // null when every field is empty
    CExtraData m_extra;
};

}  // namespace addressbook
