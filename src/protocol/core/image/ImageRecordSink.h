#pragma once

#include "core/image/ImageLoad.h"

#include <cstdint>
#include <span>

namespace tessaly {

// What both parsers do with a record once its checksum is good, and how a load ends: the
// range rule, storing within the image, the byte count and the summary line.
class ImageRecordSink {
public:
    enum class Placement { Stored, Skipped, OutOfRange };

    explicit ImageRecordSink(ImageTarget target);

    // Inside the image bounds the data is written (bytes past the end of the image are
    // dropped) and counted. Below them, a record whose address has bits 8-19 all set is
    // skipped without comment; any other one is out of range and ends the load.
    Placement Place(std::uint32_t address, std::span<const std::uint8_t> data);

    // Blanks a failed load with `failFill`, or adds the summary line to a good one that stored
    // something.
    ImageLoadResult Finish(bool ok, bool outOfRange, std::uint8_t failFill);

private:
    void NoteRange(std::uint32_t first, std::uint32_t last);

    ImageTarget target_;
    std::uint64_t limit_; // bytes of the image that may be written
    ImageLoadResult result_;
};

} // namespace tessaly
