// CAddressEntry: one contact, exactly 32 text fields in field order.
//
// A window may show books of 100,000 entries, so an entry keeps all its texts
// in one buffer: the fields lie end to end and m_ends[i] is the end of field i
// (field i starts where field i - 1 ends).  Texts are UTF-8 and may hold any
// bytes, line breaks included.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "addressbook/field_table.h"

namespace addressbook {

class CAddressEntry {
public:
    // All 32 fields empty.
    CAddressEntry() = default;

    // Field `index` (0 to 31).  The view stays valid until the entry changes.
    std::string_view GetField(int index) const;
    // Replaces field `index` (0 to 31) with a copy of `text`.
    void SetField(int index, std::string_view text);
    // Sets all 32 fields at once with a buffer of exactly the needed size.
    void AssignFields(const std::array<std::string_view, kFieldCount>& texts);

    // Total bytes of text held by the 32 fields.
    std::size_t TextSize() const { return m_strText.size(); }

    bool operator==(const CAddressEntry& other) const = default;

private:
    std::size_t Begin(int index) const { return index == 0 ? 0 : m_ends[index - 1]; }

    std::string m_strText;
    std::array<std::uint32_t, kFieldCount> m_ends{};
};

}  // namespace addressbook
