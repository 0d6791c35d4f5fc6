#pragma once

#include <cstdint>
#include <optional>

namespace rwsim {

struct EraseBlock {
    std::uint32_t first;
    std::uint32_t size;
};

// RX231 kind: the user area is erased in 2 KB blocks, each named by its first address.
constexpr std::uint32_t kRx231BlockSize = 2048;

// RX63x kind: blocks are numbered from the top of the address space downward.
//   blocks  0 to  7:  4 KB each, 0xFFFFF000 down to 0xFFFF8000
//   blocks  8 to 29: 16 KB each, 0xFFFF4000 down to 0xFFFA0000
//   blocks 30 to 37: 32 KB each, 0xFFF98000 down to 0xFFF60000
//   blocks 38 to 59: 64 KB each, 0xFFF50000 down to 0xFFE00000 (2 MB in all)
// So blocks 0 to 3 are the top 16 KB. A block that lies below the flash's base address does
// not exist on that part.
std::optional<EraseBlock> Rx63xBlock(std::uint8_t number);

} // namespace rwsim
