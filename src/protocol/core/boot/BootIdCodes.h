#pragma once

#include <array>
#include <cstdint>

namespace tessaly {

// The two stored ID codes, sent byte for byte as stored. With the R/W switched into program
// mode code A is tried first, in re-write mode code B.
constexpr std::array<std::uint8_t, 16> IdCodeFromText(const char (&text)[17]) {
    std::array<std::uint8_t, 16> code{};
    for (std::size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<std::uint8_t>(text[i]);
    return code;
}

inline constexpr std::array<std::uint8_t, 16> IdCodeA = IdCodeFromText("PLM4QXW7BBN2H-C8");
inline constexpr std::array<std::uint8_t, 16> IdCodeB = IdCodeFromText("G-BNQQZ5PLLX7H-4");

} // namespace tessaly
