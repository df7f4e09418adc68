// The SHA-1 compression function over whole 64-byte blocks.  Processors with
// the SHA extensions run it in hardware (about six times faster, which is most
// of the cost of giving 100,000 exported entries their derived UIDs); others
// run the portable code.  Both give the same state.
#pragma once

#include <cstddef>
#include <cstdint>

namespace addressbook {

// Runs the compression over `count` blocks of 64 bytes at `blocks`.
void Sha1CompressBlocks(std::uint32_t state[5], const std::uint8_t* blocks, std::size_t count);

// The portable compression alone, so that tests can hold the hardware path
// against it on machines that have one.
void Sha1CompressBlocksPortable(std::uint32_t state[5], const std::uint8_t* blocks,
                                std::size_t count);

// Whether Sha1CompressBlocks uses the processor's SHA instructions.
bool Sha1UsesHardware();

}  // namespace addressbook
