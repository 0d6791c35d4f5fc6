#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tessaly {

// MCU kind codes as the settings record and the environment dialog carry them.
enum McuKind : std::int32_t { kKindRx231 = 5, kKindRx630 = 6, kKindRx63T = 7 };
constexpr McuKind kNamedKinds[] = {kKindRx231, kKindRx630, kKindRx63T};

// The lower-case name of a kind ("rx231", "rx630", "rx63t"), as the command line and the run
// records spell it; empty for a code without a name.
std::string_view KindName(std::int32_t kind);

constexpr std::uint32_t kRomImageEnd = 0xFFFFFFFFu;
constexpr std::uint32_t kRomImageCrcEnd = 0xFFFFBFFFu;

// First flash address of the image for a ROM-size code (index of the ROM-size list).
// Codes without an entry of their own take the 64 KB default.
std::uint32_t RomImageBaseForSizeCode(std::int32_t romSizeCode);

// The boot-mode device code for an MCU kind. Kinds 2 and 4 keep whatever code was there
// before, so the current code is passed in and returned for them.
std::array<char, 4> DeviceCodeForKind(std::int32_t kind, std::array<char, 4> current);

// Only kinds 2 to 7 move the image bounds.
constexpr bool KindSetsBounds(std::int32_t kind) { return kind >= 2 && kind <= 7; }

} // namespace tessaly
