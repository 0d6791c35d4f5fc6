#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace tessaly {

// Bytes in one programming page of the MCU's flash.
constexpr std::size_t kRomPageSize = 256;

// The top of the flash that a run leaves alone when the R/W switched itself into program mode:
// the R/W keeps its own settings there.
constexpr std::uint64_t kReservedTopBytes = 0x4000;

// How many bytes from the start of an image of `imageBytes` a run programs: every byte in
// re-write mode, all but the reserved top otherwise.
constexpr std::uint64_t ProgrammedBytes(std::uint64_t imageBytes, bool keepReservedTop) {
    return keepReservedTop ? imageBytes - std::min(imageBytes, kReservedTopBytes) : imageBytes;
}

// CRC-16/X-25 of the image from `base` through `crcEnd` (the top 16 KB of the flash are not
// covered). Only bytes the image holds are read.
std::uint16_t ComputeRomImageCrc(std::span<const std::uint8_t> image, std::uint32_t base,
                                 std::uint32_t crcEnd);

// True when any byte of the page differs from blank flash (0xFF).
bool PageHasData(std::span<const std::uint8_t> page);

// True when the part of the image a run programs holds a byte that is not blank: without one,
// the run would erase the flash and write nothing.
bool HasDataToProgram(std::span<const std::uint8_t> image, bool keepReservedTop);

// Pages of kRomPageSize bytes, from the start of the image, that hold data.
std::size_t CountPagesWithData(std::span<const std::uint8_t> image);

// Moves the image to new bounds, keeping every byte whose address both hold and blanking the
// rest. Returns false when a byte that was not blank fell outside the new bounds: the image
// then no longer holds the whole firmware.
bool RebaseRomImage(std::vector<std::uint8_t>& image, std::uint32_t oldBase, std::uint32_t newBase,
                    std::uint32_t newEnd);

} // namespace tessaly
