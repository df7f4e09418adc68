#include "addressbook/sha1_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace addressbook {
namespace {

// The hardware path (where this processor has one) and the portable one give
// the same state for runs of random blocks from random states.  The digests
// themselves are held by the derived UIDs of the vCard golden files.
TEST(Sha1BlocksTest, HardwareAndPortableAgree) {
    std::mt19937 random(20261208);
    for (std::size_t count : {1u, 2u, 3u, 7u, 64u}) {
        std::vector<std::uint8_t> blocks(64 * count);
        std::generate(blocks.begin(), blocks.end(),
                      [&] { return static_cast<std::uint8_t>(random()); });
        std::array<std::uint32_t, 5> fast;
        std::generate(fast.begin(), fast.end(),
                      [&] { return static_cast<std::uint32_t>(random()); });
        std::array<std::uint32_t, 5> portable = fast;
        Sha1CompressBlocks(fast.data(), blocks.data(), count);
        Sha1CompressBlocksPortable(portable.data(), blocks.data(), count);
        EXPECT_EQ(fast, portable) << count << " blocks, hardware " << Sha1UsesHardware();
    }
}

}  // namespace
}  // namespace addressbook
