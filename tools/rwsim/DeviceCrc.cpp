#include "rwsim/DeviceCrc.h"

#include <array>

namespace rwsim {

namespace {

// The reflected CRC-16 (polynomial 0x8408) of every byte value, worked out bit by bit once: the
// microcontroller answers a CRC request over its whole flash, a thousand simulated R/Ws at once.
constexpr std::array<std::uint16_t, 256> kByteCrc = [] {
    std::array<std::uint16_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        std::uint16_t crc = std::uint16_t(value);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0x8408) : std::uint16_t(crc >> 1);
        table[value] = crc;
    }
    return table;
}();

} // namespace

std::uint16_t DeviceCrc16(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t byte : bytes)
        crc = std::uint16_t((crc >> 8) ^ kByteCrc[(crc ^ byte) & 0xFFu]);
    return std::uint16_t(crc ^ 0xFFFF);
}

} // namespace rwsim
