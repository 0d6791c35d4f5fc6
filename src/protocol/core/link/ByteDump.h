#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tessaly {

// Each byte as two upper-case hex digits followed by one space; the dump ends with a space.
std::string ByteDump(std::span<const std::uint8_t> bytes);

inline std::string TxDumpLine(std::span<const std::uint8_t> bytes) {
    return "TX: " + ByteDump(bytes);
}
inline std::string RxDumpLine(std::span<const std::uint8_t> bytes) {
    return "RX: " + ByteDump(bytes);
}

// Upper-case hex of `value` with exactly `digits` digits.
std::string HexDigits(std::uint32_t value, int digits);

} // namespace tessaly
