#include "addressbook/sha1.h"

#include <algorithm>
#include <cstring>

#include "addressbook/sha1_blocks.h"

namespace addressbook {

void Sha1::Update(std::string_view bytes) {
    m_nBits += std::uint64_t{bytes.size()} * 8;
    while (!bytes.empty()) {
        if (m_nFill == 0 && bytes.size() >= 64) {
            const std::size_t blocks = bytes.size() / 64;
            Sha1CompressBlocks(m_state, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                               blocks);
            bytes.remove_prefix(blocks * 64);
            continue;
        }
        const std::size_t take = std::min<std::size_t>(64 - m_nFill, bytes.size());
        std::memcpy(m_block + m_nFill, bytes.data(), take);
        m_nFill += take;
        bytes.remove_prefix(take);
        if (m_nFill == 64) {
            Compress();
        }
    }
}

std::array<std::uint8_t, 20> Sha1::Final() {
    const std::uint64_t bits = m_nBits;
    m_block[m_nFill++] = 0x80;
    if (m_nFill > 56) {
        while (m_nFill < 64) {
            m_block[m_nFill++] = 0;
        }
        Compress();
    }
    while (m_nFill < 56) {
        m_block[m_nFill++] = 0;
    }
    for (int i = 7; i >= 0; --i) {
        m_block[m_nFill++] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    Compress();
    std::array<std::uint8_t, 20> digest{};
    for (std::size_t i = 0; i < 20; ++i) {
        digest[i] = static_cast<std::uint8_t>(m_state[i / 4] >> (24 - 8 * (i % 4)));
    }
    return digest;
}

void Sha1::Compress() {
    Sha1CompressBlocks(m_state, m_block, 1);
    m_nFill = 0;
}

std::string HexDigest(const std::array<std::uint8_t, 20>& digest) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(40);
    for (const std::uint8_t byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

std::string Sha1Hex(std::string_view bytes) {
    Sha1 sha;
    sha.Update(bytes);
    return HexDigest(sha.Final());
}

}  // namespace addressbook
