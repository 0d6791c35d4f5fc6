#pragma once

#include "core/image/ImageLoad.h"
#include "core/link/TargetDevice.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// A ROM image sized for a ROM-size code, as the controller sizes it, for the parser tests.
struct TestRomImage {
    explicit TestRomImage(std::int32_t romSizeCode, std::uint8_t fill = 0xFF)
        : base(tessaly::RomImageBaseForSizeCode(romSizeCode)),
          bytes(static_cast<std::size_t>(tessaly::kRomImageEnd - base) + 1, fill) {}
    tessaly::ImageTarget Target() { return {bytes, base, tessaly::kRomImageEnd}; }
    std::uint8_t At(std::uint32_t address) const { return bytes.at(address - base); }
    bool All(std::uint8_t value) const {
        return std::all_of(bytes.begin(), bytes.end(), [&](std::uint8_t b) { return b == value; });
    }
    bool AllBlankExcept(std::uint32_t first, std::uint32_t last) const {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const std::uint32_t address = base + static_cast<std::uint32_t>(i);
            if ((address < first || address > last) && bytes[i] != 0xFF)
                return false;
        }
        return true;
    }

    std::uint32_t base;
    std::vector<std::uint8_t> bytes;
};
