#include "rwsim/EraseBlocks.h"

namespace rwsim {

namespace {

struct Band {
    int firstNumber;
    int count;
    std::uint32_t size;
};
constexpr Band kBands[] = {{0, 8, 0x1000}, {8, 22, 0x4000}, {30, 8, 0x8000}, {38, 22, 0x10000}};

} // namespace

std::optional<EraseBlock> Rx63xBlock(std::uint8_t number) {
    std::uint64_t top = 0x100000000ull; // one past the last block's end
    for (const Band& band : kBands) {
        if (number < band.firstNumber + band.count) {
            const std::uint64_t end = top - std::uint64_t(number - band.firstNumber) * band.size;
            return EraseBlock{std::uint32_t(end - band.size), band.size};
        }
        top -= std::uint64_t(band.count) * band.size;
    }
    return std::nullopt;
}

} // namespace rwsim
