#pragma once

#include <cstdint>
#include <span>

namespace tessaly {

// CRC-16/X-25: polynomial 0x1021 reflected (0x8408), initial value 0xFFFF, input and output
// reflected, final XOR 0xFFFF. "123456789" gives 0x906E. The boot program of the MCU reports
// the same CRC over its flash.
std::uint16_t CalcCrc16(const std::uint8_t* data, std::uint32_t count);

inline std::uint16_t CalcCrc16(std::span<const std::uint8_t> bytes) {
    return CalcCrc16(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

} // namespace tessaly
