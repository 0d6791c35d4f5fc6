#pragma once

#include "core/image/ImageLoad.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

// Runs one parser over fuzzer input and checks what must hold whatever the input: no access
// outside the image (the sanitizers watch that), a failed load blanked with its fill byte and
// keeping no ranges, a damaged record failing the load, every range inside the image bounds,
// and a load that only fails with the out-of-range box when it also reports failure.
//
// The first input byte picks the image: its base (images of 256 bytes to 64 KB, so that each
// run stays cheap) and whether the storage is shorter than the bounds claim.
template <typename Parse>
int FuzzImageParser(const std::uint8_t* data, std::size_t size, Parse parse,
                    std::uint8_t failFill) {
    if (size == 0)
        return 0;
    static constexpr std::uint32_t kBases[] = {0xFFFFFF00u, 0xFFFFF000u, 0xFFFF8000u, 0xFFFF0000u};
    const std::uint32_t base = kBases[data[0] & 3u];
    const bool shortStorage = (data[0] & 4u) != 0;
    const std::size_t bounded = std::size_t{0xFFFFFFFFu - base} + 1;
    // A fresh allocation of exactly the storage size, so that AddressSanitizer sees any byte
    // written past it.
    std::vector<std::uint8_t> storage(shortStorage ? bounded / 2 : bounded, 0x5A);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const tessaly::ImageLoadResult r =
        parse(text, tessaly::ImageTarget{storage, base, 0xFFFFFFFFu});

    if (r.outOfRange && r.ok)
        std::abort();
    // A damaged record fails the whole file.
    if (r.ok && r.damage != tessaly::ImageDamage::None &&
        r.damage != tessaly::ImageDamage::NotFirmware)
        std::abort();
    if (!r.ok) {
        if (!r.ranges.empty() || !std::all_of(storage.begin(), storage.end(),
                                              [&](std::uint8_t b) { return b == failFill; }))
            std::abort();
        return 0;
    }
    for (const tessaly::AddressRange& range : r.ranges)
        if (range.first < base || range.last < range.first ||
            std::uint64_t{range.last} - base >= storage.size())
            std::abort();
    if ((r.stored > 0) != !r.logLines.empty())
        std::abort();
    return 0;
}
