// Finding the first of a few given bytes in a text, a 64-bit word at a time:
// most texts the readers and writers go through hold long runs of bytes that
// need no attention.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace fileio {

// The first byte of [p, end) equal to one of `bytes`, or `end`.
template <typename... Bytes>
[[gnu::always_inline]] inline const char* FindFirstOf(const char* p, const char* end,
                                                      Bytes... bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    // Flags the zero bytes of x.  The lowest flag is always right; a borrow
    // may flag bytes above it wrongly.  So the lowest flag of several tests
    // is the first byte that any of them matches.
    auto zeroBytes = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    // Words are read little-endian, so that the lowest flag is the first
    // byte; other machines take the byte loop below.
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t hits =
                (zeroBytes(word ^ (kOnes * static_cast<unsigned char>(bytes))) | ...);
            if (hits != 0) {
                return p + (std::countr_zero(hits) >> 3);
            }
            p += 8;
        }
    }
    while (p < end && ((*p != bytes) && ...)) {
        ++p;
    }
    return p;
}

}  // namespace fileio
