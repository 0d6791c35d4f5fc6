#pragma once

#include <cstdint>
#include <optional>
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

// Why a firmware text is damaged: the first record that made it so is refused with the whole
// file.
enum class ImageDamage {
    None,
    Checksum, // the record's checksum does not add up
    Count,    // the record's count is too short for its own address
    Wraps,    // its data would run past address 0xFFFFFFFF
    // No record of the format at all, and lines of something else: no firmware file. The text
    // has no fault by the loading rules (it only stores nothing), so this one fails no load.
    NotFirmware,
};

struct ImageLoadResult {
    bool ok = true;
    // What damaged the text, and the line (from 1) of that record; None for a load that failed
    // on data outside the image, or did not fail.
    ImageDamage damage = ImageDamage::None;
    std::size_t damagedLine = 0;
    // The first line, from 1, that is neither a record of the format nor empty (0: none). Such
    // lines are skipped; a file of nothing else is no firmware at all.
    std::size_t firstForeignLine = 0;
    // The first stretch of addresses where a later record replaced bytes an earlier one stored
    // with other values (the later record wins); none when no record did.
    std::optional<AddressRange> overwritten;
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
