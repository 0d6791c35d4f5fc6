#pragma once

#include "core/image/ImageLoad.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tessaly {

// What both parsers do with a record once its checksum is good, and how a load ends: the
// range rule, storing within the image, the byte count and the summary line.
class ImageRecordSink {
public:
    enum class Placement { Stored, Skipped, OutOfRange, Wraps };

    explicit ImageRecordSink(ImageTarget target);

    // Inside the image bounds the data is written (bytes past the end of the image are
    // dropped) and counted. Below them, a record whose address has bits 8-19 all set is
    // skipped without comment; any other one is out of range and ends the load. Data that
    // would run past address 0xFFFFFFFF is damage (Wraps): nothing of it is stored.
    Placement Place(std::uint32_t address, std::span<const std::uint8_t> data);
    // Place for the record on `line` (from 1), with what follows from where it went: false
    // when the load must stop reading (out of range), a damaged file noted.
    bool Store(std::uint32_t address, std::span<const std::uint8_t> data, std::size_t line);

    // The record on `line` (from 1) is damaged; the load fails.
    void Damaged(ImageDamage damage, std::size_t line);
    // A line that is a record of the format, loaded or not; and one that is none (skipped).
    void Record();
    void Foreign(std::size_t line);

    // Blanks a failed load with `failFill`, or adds the summary line to a good one that stored
    // something.
    ImageLoadResult Finish(std::uint8_t failFill);

private:
    void NoteRange(std::uint32_t first, std::uint32_t last);
    void NoteOverwrite(std::uint64_t offset, std::span<const std::uint8_t> data);

    ImageTarget target_;
    std::uint64_t limit_;       // bytes of the image that may be written
    std::vector<bool> written_; // which bytes of the image a record has stored
    bool sawRecord_ = false;
    ImageLoadResult result_;
};

} // namespace tessaly
