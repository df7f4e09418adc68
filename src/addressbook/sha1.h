// SHA-1 (FIPS 180-4): name-based UUIDs (entry_identity.h) and the content
// hashes that a sync compares (sync/card_hash.h).  Neither needs resistance
// to a deliberate collision: both only tell texts apart.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace addressbook {

class Sha1 {
public:
    void Update(std::string_view bytes);
    // The digest; the object is used up.
    std::array<std::uint8_t, 20> Final();

private:
    void Compress();

    std::uint32_t m_state[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::uint8_t m_block[64] = {};
    std::size_t m_nFill = 0;
    std::uint64_t m_nBits = 0;
};

// A digest in lower-case hexadecimal (40 characters).
std::string HexDigest(const std::array<std::uint8_t, 20>& digest);
// The digest of `bytes` in lower-case hexadecimal.
std::string Sha1Hex(std::string_view bytes);

}  // namespace addressbook
