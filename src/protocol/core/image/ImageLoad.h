#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// First and last address of a run of bytes, both inclusive.
struct AddressRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    bool operator==(const AddressRange&) const = default;
};

// The ROM image a parser fills: the byte at offset i is the flash byte at address base + i.
// Nothing is ever read or written outside `image`, whatever `base` and `end` say.
struct ImageTarget {
    std::span<std::uint8_t> image;
    std::uint32_t base = 0;
    std::uint32_t end = 0xFFFFFFFFu;
};

struct ImageLoadResult {
    bool ok = true;
    // A record lay outside the image: the out-of-range message box is due (once per load).
    bool outOfRange = false;
    // Data bytes of the records taken into the image.
    std::uint64_t stored = 0;
    // Where the stored bytes went, in record order, adjacent runs merged. Empty after a
    // failed load.
    std::vector<AddressRange> ranges;
    // Lines for the log, in order.
    std::vector<std::string> logLines;
};

// Motorola S-records: S2 and S3 data records are stored; every other line is skipped. The
// image is blanked to 0xFF first, and again (and nothing kept) when the load fails.
ImageLoadResult ParseSRecords(std::string_view text, ImageTarget target);

// Intel HEX: data records (00) at the address set by the last segment (02) or linear (04)
// address record. The image is blanked to 0xFF first; a failed load leaves it all 0x00.
ImageLoadResult ParseIntelHex(std::string_view text, ImageTarget target);

} // namespace tessaly
