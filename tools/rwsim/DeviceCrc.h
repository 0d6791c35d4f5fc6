#pragma once

#include <cstdint>
#include <span>

namespace rwsim {

// CRC-16/X-25 as the microcontroller computes it over its flash: reflected polynomial 0x1021,
// initial value 0xFFFF, final XOR 0xFFFF. Bit by bit, as a small boot program would.
std::uint16_t DeviceCrc16(std::span<const std::uint8_t> bytes);

} // namespace rwsim
