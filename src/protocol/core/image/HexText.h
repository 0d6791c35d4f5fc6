#pragma once

#include <cstdint>
#include <string_view>

namespace tessaly {

// Hexadecimal text to integer, read from the last character to the first with a place value
// that grows by 16 per character. "0"-"9", "a"-"f" and "A"-"F" count; any other character
// counts nothing but still takes its place, so "1G" reads as 0x10. Empty text reads as 0.
// The arithmetic wraps at 32 bits.
std::int32_t HexTextToInt(std::string_view text);

// Characters `first` through `last` of a line, counted from 1. A field that runs past the end
// of a short line is just shorter, and one that starts past the end is empty.
std::string_view LineField(std::string_view line, std::size_t first, std::size_t last);

// The two-character hex byte at character `first` of a line (an empty field reads as 0).
inline std::uint8_t LineByte(std::string_view line, std::size_t first) {
    return static_cast<std::uint8_t>(HexTextToInt(LineField(line, first, first + 1)));
}

} // namespace tessaly
