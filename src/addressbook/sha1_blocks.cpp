#include "addressbook/sha1_blocks.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define QUILLBOX_SHA1_X86 1
#endif

namespace addressbook {

namespace {

std::uint32_t Rotate(std::uint32_t v, int n) {
    return (v << n) | (v >> (32 - n));
}

#ifdef QUILLBOX_SHA1_X86

// The SHA extensions: four rounds per sha1rnds4, with the message schedule
// computed four words at a time by sha1msg1 and sha1msg2.  Lanes hold the
// state with A in the highest one, which is why the block's bytes are
// reversed as a whole on loading.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressWithShaExtensions(
    std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count) {
    const __m128i byteOrder = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    for (std::size_t block = 0; block < count; ++block, blocks += 64) {
        const __m128i abcdBefore = abcd;
        const __m128i eBefore = e;
        __m128i words[4];
        for (int i = 0; i < 4; ++i) {
            words[i] = _mm_shuffle_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), byteOrder);
        }
        __m128i abcdEarlier = abcd;
        for (int group = 0; group < 20; ++group) {
            __m128i& w = words[group % 4];
            if (group >= 4) {
                // words[group % 4] still holds the group four back.
                w = _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(w, words[(group + 1) % 4]),
                                                     words[(group + 2) % 4]),
                                       words[(group + 3) % 4]);
            }
            const __m128i eWithWords =
                group == 0 ? _mm_add_epi32(e, w) : _mm_sha1nexte_epu32(abcdEarlier, w);
            abcdEarlier = abcd;
            switch (group / 5) {
                case 0:
                    abcd = _mm_sha1rnds4_epu32(abcd, eWithWords, 0);
                    break;
                case 1:
                    abcd = _mm_sha1rnds4_epu32(abcd, eWithWords, 1);
                    break;
                case 2:
                    abcd = _mm_sha1rnds4_epu32(abcd, eWithWords, 2);
                    break;
                default:
                    abcd = _mm_sha1rnds4_epu32(abcd, eWithWords, 3);
                    break;
            }
        }
        e = _mm_sha1nexte_epu32(abcdEarlier, eBefore);
        abcd = _mm_add_epi32(abcd, abcdBefore);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(e, 3));
}

bool ProcessorHasShaExtensions() {
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    const bool ssse3 = (ecx & (1U << 9)) != 0;
    const bool sse41 = (ecx & (1U << 19)) != 0;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    const bool sha = (ebx & (1U << 29)) != 0;
    return ssse3 && sse41 && sha;
}

#endif

}  // namespace

void Sha1CompressBlocksPortable(std::uint32_t state[5], const std::uint8_t* blocks,
                                std::size_t count) {
    for (std::size_t block = 0; block < count; ++block, blocks += 64) {
        std::uint32_t w[80];
        for (int i = 0; i < 16; ++i) {
            w[i] = std::uint32_t{blocks[4 * i]} << 24 | std::uint32_t{blocks[4 * i + 1]} << 16 |
                   std::uint32_t{blocks[4 * i + 2]} << 8 | blocks[4 * i + 3];
        }
        for (int i = 16; i < 80; ++i) {
            w[i] = Rotate(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
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
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

bool Sha1UsesHardware() {
#ifdef QUILLBOX_SHA1_X86
    static const bool hardware = ProcessorHasShaExtensions();
    return hardware;
#else
    return false;
#endif
}

void Sha1CompressBlocks(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count) {
#ifdef QUILLBOX_SHA1_X86
    if (Sha1UsesHardware()) {
        CompressWithShaExtensions(state, blocks, count);
        return;
    }
#endif
    Sha1CompressBlocksPortable(state, blocks, count);
}

}  // namespace addressbook
