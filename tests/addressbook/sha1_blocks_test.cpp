#include "addressbook/sha1_blocks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace addressbook {
namespace {

constexpr std::uint32_t kInitialState[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476,
                                            0xC3D2E1F0};

// "abc" padded to one block, and its digest from FIPS 180-4's examples.
TEST(Sha1BlocksTest, DigestOfThePublishedExample) {
    std::uint8_t block[64] = {'a', 'b', 'c', 0x80};
    block[63] = 24;  // the message length in bits
    std::uint32_t state[5];
    std::copy(std::begin(kInitialState), std::end(kInitialState), state);
    Sha1CompressBlocks(state, block, 1);
    EXPECT_EQ(state[0], 0xA9993E36u);
    EXPECT_EQ(state[1], 0x4706816Au);
    EXPECT_EQ(state[2], 0xBA3E2571u);
    EXPECT_EQ(state[3], 0x7850C26Cu);
    EXPECT_EQ(state[4], 0x9CD0D89Du);
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
