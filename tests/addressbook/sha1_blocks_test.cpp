#include "addressbook/sha1_blocks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace addressbook {
namespace {

// "abc" padded to one block, and its digest from FIPS 180-4's examples.
TEST(Sha1BlocksTest, DigestOfThePublishedExample) {
    std::uint8_t block[64] = {'a', 'b', 'c', 0x80};
    block[63] = 24;  // the message length in bits
    std::array<std::uint32_t, 5> state = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476,
                                          0xC3D2E1F0};
    Sha1CompressBlocks(state.data(), block, 1);
    EXPECT_EQ(state, (std::array<std::uint32_t, 5>{0xA9993E36, 0x4706816A, 0xBA3E2571, 0x7850C26C,
                                                   0x9CD0D89D}));
}

// The hardware path (where this processor has one) and the portable one give
// the same state for runs of random blocks from random states.
TEST(Sha1BlocksTest, HardwareAndPortableAgree) {
    std::mt19937 random(20261208);
    for (std::size_t count : {1u, 2u, 3u, 7u, 64u}) {
        std::vector<std::uint8_t> blocks(64 * count);
        for (std::uint8_t& byte : blocks) {
            byte = static_cast<std::uint8_t>(random());
        }
        std::array<std::uint32_t, 5> fast{};
        for (std::uint32_t& word : fast) {
            word = static_cast<std::uint32_t>(random());
        }
        std::array<std::uint32_t, 5> portable = fast;
        Sha1CompressBlocks(fast.data(), blocks.data(), count);
        Sha1CompressBlocksPortable(portable.data(), blocks.data(), count);
        EXPECT_EQ(fast, portable) << count << " blocks, hardware " << Sha1UsesHardware();
    }
}

}  // namespace
}  // namespace addressbook
