#include "core/image/RomImage.h"

#include "core/image/Crc16.h"

#include <algorithm>

namespace tessaly {

std::uint16_t ComputeRomImageCrc(std::span<const std::uint8_t> image, std::uint32_t base,
                                 std::uint32_t crcEnd) {
    const std::uint64_t covered = crcEnd < base ? 0 : std::uint64_t{crcEnd} - base + 1;
    return CalcCrc16(
        image.first(static_cast<std::size_t>(std::min<std::uint64_t>(covered, image.size()))));
}

bool PageHasData(std::span<const std::uint8_t> page) {
    return std::any_of(page.begin(), page.end(), [](std::uint8_t b) { return b != 0xFF; });
}

bool HasDataToProgram(std::span<const std::uint8_t> image, bool keepReservedTop) {
    return PageHasData(
        image.first(static_cast<std::size_t>(ProgrammedBytes(image.size(), keepReservedTop))));
}

std::size_t CountPagesWithData(std::span<const std::uint8_t> image) {
    std::size_t pages = 0;
    for (std::size_t at = 0; at < image.size(); at += kRomPageSize)
        pages += PageHasData(image.subspan(at, std::min(kRomPageSize, image.size() - at))) ? 1 : 0;
    return pages;
}

bool RebaseRomImage(std::vector<std::uint8_t>& image, std::uint32_t oldBase, std::uint32_t newBase,
                    std::uint32_t newEnd) {
    const std::uint64_t newSize = newEnd < newBase ? 0 : std::uint64_t{newEnd} - newBase + 1;
    std::vector<std::uint8_t> moved(static_cast<std::size_t>(newSize), 0xFF);
    bool kept = true;
    for (std::size_t i = 0; i < image.size(); ++i) {
        const std::uint64_t address = std::uint64_t{oldBase} + i;
        if (address >= newBase && address - newBase < newSize)
            moved[static_cast<std::size_t>(address - newBase)] = image[i];
        else if (image[i] != 0xFF)
            kept = false;
    }
    image.swap(moved);
    return kept;
}

} // namespace tessaly
