#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tessaly {

// Bytes in one programming page of the MCU's flash.
constexpr std::size_t kRomPageSize = 256;

// CRC-16/X-25 of the image from `base` through `crcEnd` (the top 16 KB of the flash are not
// covered). Only bytes the image holds are read.
std::uint16_t ComputeRomImageCrc(std::span<const std::uint8_t> image, std::uint32_t base,
                                 std::uint32_t crcEnd);

// True when any byte of the page differs from blank flash (0xFF).
bool PageHasData(std::span<const std::uint8_t> page);

// Pages of kRomPageSize bytes, from the start of the image, that hold data.
std::size_t CountPagesWithData(std::span<const std::uint8_t> image);

// Moves the image to new bounds, keeping every byte whose address both hold and blanking the
// rest. Returns false when a byte that was not blank fell outside the new bounds: the image
// then no longer holds the whole firmware.
bool RebaseRomImage(std::vector<std::uint8_t>& image, std::uint32_t oldBase, std::uint32_t newBase,
                    std::uint32_t newEnd);

} // namespace tessaly
