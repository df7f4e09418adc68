#include "addressbook/sha1.h"

#include <algorithm>
#include <cstring>

namespace addressbook {

namespace {

std::uint32_t Rotate(std::uint32_t v, int n) {
    return (v << n) | (v >> (32 - n));
}

}  // namespace

void Sha1::Update(std::string_view bytes) {
    m_nBits += std::uint64_t{bytes.size()} * 8;
    while (!bytes.empty()) {
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
    std::uint32_t w[80];
    for (int i = 0; i < 16; ++i) {
        w[i] = std::uint32_t{m_block[4 * i]} << 24 | std::uint32_t{m_block[4 * i + 1]} << 16 |
               std::uint32_t{m_block[4 * i + 2]} << 8 | m_block[4 * i + 3];
    }
    for (int i = 16; i < 80; ++i) {
        w[i] = Rotate(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    }
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3], e = m_state[4];
    auto round = [&](std::uint32_t f, std::uint32_t k, std::uint32_t word) {
        const std::uint32_t t = Rotate(a, 5) + f + e + k + word;
        e = d;
        d = c;
        c = Rotate(b, 30);
        b = a;
        a = t;
    };
    for (int i = 0; i < 20; ++i) {
        round((b & c) | (~b & d), 0x5A827999, w[i]);
    }
    for (int i = 20; i < 40; ++i) {
        round(b ^ c ^ d, 0x6ED9EBA1, w[i]);
    }
    for (int i = 40; i < 60; ++i) {
        round((b & c) | (b & d) | (c & d), 0x8F1BBCDC, w[i]);
    }
    for (int i = 60; i < 80; ++i) {
        round(b ^ c ^ d, 0xCA62C1D6, w[i]);
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
    m_state[4] += e;
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
