#include "addressbook/address_entry.h"

#include <limits>
#include <stdexcept>

namespace addressbook {

namespace {

void CheckIndex(int index) {
    if (index < 0 || index >= kFieldCount) {
        throw std::out_of_range("address entry field index out of range");
    }
}

// Offsets are 32-bit to keep entries small; no real contact comes near 4 GB.
void CheckTotal(std::size_t total) {
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("address entry text too long");
    }
}

}  // namespace

std::string_view CAddressEntry::GetField(int index) const {
    CheckIndex(index);
    std::size_t begin = Begin(index);
    return std::string_view(m_strText).substr(begin, m_ends[index] - begin);
}

void CAddressEntry::SetField(int index, std::string_view text) {
    CheckIndex(index);
    std::size_t begin = Begin(index);
    std::size_t oldSize = m_ends[index] - begin;
    CheckTotal(m_strText.size() - oldSize + text.size());
    m_strText.replace(begin, oldSize, text);
    // Every later field moves by the change in size (unsigned wrap-around
    // gives the right result for a shrinking field too).
    std::uint32_t delta = static_cast<std::uint32_t>(text.size() - oldSize);
    for (int i = index; i < kFieldCount; ++i) {
        m_ends[i] += delta;
    }
}

void CAddressEntry::AssignFields(const std::array<std::string_view, kFieldCount>& texts) {
    std::size_t total = 0;
    for (std::string_view text : texts) {
        total += text.size();
    }
    CheckTotal(total);
    std::string buffer;
    buffer.reserve(total);
    for (int i = 0; i < kFieldCount; ++i) {
        buffer.append(texts[i]);
        m_ends[i] = static_cast<std::uint32_t>(buffer.size());
    }
    m_strText = std::move(buffer);
}

}  // namespace addressbook
