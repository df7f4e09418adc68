#include "addressbook/address_entry.h"

#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace addressbook {

namespace {

// Layout of an entry's block.
constexpr std::size_t kMaskAt = 0;              // uint32: bit i set when field i is not empty
constexpr std::size_t kTotalAt = 4;             // uint32: total bytes of text
constexpr std::size_t kEndsAt = 8;              // one end offset per non-empty field
constexpr std::uint32_t kNarrowLimit = 0xFFFF;  // totals up to this use 16-bit ends

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

std::uint32_t Load32(const char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// The number of set bits; the library's popcount becomes a call where the
// target processor has no instruction for it.
int CountBits(std::uint32_t v) {
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    return static_cast<int>((((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}

std::uint32_t EndWidth(std::uint32_t total) {
    return total > kNarrowLimit ? 4 : 2;
}

std::uint32_t EndAt(const char* ends, std::uint32_t width, int k) {
    if (width == 4) {
        return Load32(ends + 4 * k);
    }
    std::uint16_t value;
    std::memcpy(&value, ends + 2 * k, sizeof value);
    return value;
}

}  // namespace

CAddressEntry::CAddressEntry(const CAddressEntry& other) {
    *this = other;
}

CAddressEntry& CAddressEntry::operator=(const CAddressEntry& other) {
    if (this != &other) {
        std::unique_ptr<char[]> copy;
        if (other.m_pBlock) {
            const std::size_t size = other.BlockSize();
            copy.reset(new char[size]);
            std::memcpy(copy.get(), other.m_pBlock.get(), size);
        }
        m_extra = other.m_extra;
        m_pBlock = std::move(copy);
    }
    return *this;
}

std::size_t CAddressEntry::BlockSize() const {
    const char* block = m_pBlock.get();
    const std::uint32_t total = Load32(block + kTotalAt);
    const auto filled = static_cast<std::uint32_t>(CountBits(Load32(block + kMaskAt)));
    return kEndsAt + std::size_t{filled} * EndWidth(total) + total;
}

std::size_t CAddressEntry::TextSize() const {
    return m_pBlock ? Load32(m_pBlock.get() + kTotalAt) : 0;
}

std::string_view CAddressEntry::GetField(int index) const {
    CheckIndex(index);
    const char* block = m_pBlock.get();
    if (block == nullptr) {
        return {};
    }
    const std::uint32_t mask = Load32(block + kMaskAt);
    if ((mask >> index & 1u) == 0) {
        return {};
    }
    const std::uint32_t width = EndWidth(Load32(block + kTotalAt));
    const int filled = CountBits(mask);
    const int k = CountBits(mask & ((std::uint32_t{1} << index) - 1));
    const char* ends = block + kEndsAt;
    const char* text = ends + static_cast<std::size_t>(filled) * width;
    const std::uint32_t begin = k == 0 ? 0 : EndAt(ends, width, k - 1);
    return {text + begin, EndAt(ends, width, k) - begin};
}

void CAddressEntry::GetFields(std::array<std::string_view, kFieldCount>& texts) const {
    texts.fill(std::string_view());
    const char* block = m_pBlock.get();
    if (block == nullptr) {
        return;
    }
    std::uint32_t mask = Load32(block + kMaskAt);
    const std::uint32_t width = EndWidth(Load32(block + kTotalAt));
    const char* ends = block + kEndsAt;
    const char* text = ends + static_cast<std::size_t>(CountBits(mask)) * width;
    std::uint32_t begin = 0;
    for (int k = 0; mask != 0; ++k) {
        const int index = std::countr_zero(mask);
        mask &= mask - 1;
        const std::uint32_t end = EndAt(ends, width, k);
        texts[static_cast<std::size_t>(index)] = std::string_view(text + begin, end - begin);
        begin = end;
    }
}

void CAddressEntry::SetField(int index, std::string_view text) {
    CheckIndex(index);
    std::array<std::string_view, kFieldCount> texts;
    GetFields(texts);
    texts[static_cast<std::size_t>(index)] = text;
    AssignFields(texts);  // reads the old block (and `text`) before replacing it
}

void CAddressEntry::AssignFields(const std::array<std::string_view, kFieldCount>& texts) {
    std::size_t total = 0;
    std::uint32_t mask = 0;
    for (int i = 0; i < kFieldCount; ++i) {
        const std::size_t size = texts[static_cast<std::size_t>(i)].size();
        if (size > 0) {
            mask |= std::uint32_t{1} << i;
            total += size;
        }
    }
    CheckTotal(total);
    if (mask == 0) {
        m_pBlock.reset();
        return;
    }
    const auto total32 = static_cast<std::uint32_t>(total);
    const std::uint32_t width = EndWidth(total32);
    const std::size_t filled = static_cast<std::size_t>(CountBits(mask));
    std::unique_ptr<char[]> block(new char[kEndsAt + filled * width + total]);
    char* p = block.get();
    std::memcpy(p + kMaskAt, &mask, sizeof mask);
    std::memcpy(p + kTotalAt, &total32, sizeof total32);
    char* end = p + kEndsAt;
    char* text = end + filled * width;
    std::uint32_t offset = 0;
    for (std::string_view field : texts) {
        if (field.empty()) {
            continue;
        }
        std::memcpy(text + offset, field.data(), field.size());
        offset += static_cast<std::uint32_t>(field.size());
        if (width == 4) {
            std::memcpy(end, &offset, 4);
        } else {
            const auto narrow = static_cast<std::uint16_t>(offset);
            std::memcpy(end, &narrow, 2);
        }
        end += width;
    }
    m_pBlock = std::move(block);
}

bool CAddressEntry::operator==(const CAddressEntry& other) const {
    if (!(m_extra == other.m_extra)) {
        return false;
    }
    // The block is a function of the 32 texts, so equal entries have equal
    // blocks.
    if (!m_pBlock || !other.m_pBlock) {
        return !m_pBlock && !other.m_pBlock;
    }
    const std::size_t size = BlockSize();
    return size == other.BlockSize() &&
           std::memcmp(m_pBlock.get(), other.m_pBlock.get(), size) == 0;
}

}  // namespace addressbook
