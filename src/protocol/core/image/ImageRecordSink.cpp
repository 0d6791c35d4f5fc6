#include "core/image/ImageRecordSink.h"

#include "core/image/ImageTexts.h"

#include <algorithm>

namespace tessaly {

ImageRecordSink::ImageRecordSink(ImageTarget target)
    : target_(target),
      limit_(target.end < target.base
                 ? 0
                 : std::min<std::uint64_t>(target.image.size(),
                                           std::uint64_t{target.end} - target.base + 1)) {
    std::fill(target_.image.begin(), target_.image.end(), std::uint8_t{0xFF});
}

ImageRecordSink::Placement ImageRecordSink::Place(std::uint32_t address,
                                                  std::span<const std::uint8_t> data) {
    if (address >= target_.base && address <= target_.end) {
        const std::uint64_t offset = address - target_.base;
        const std::uint64_t fits =
            offset < limit_ ? std::min<std::uint64_t>(data.size(), limit_ - offset) : 0;
        std::copy_n(data.begin(), fits,
                    target_.image.begin() + static_cast<std::ptrdiff_t>(offset));
        if (fits > 0)
            NoteRange(address, static_cast<std::uint32_t>(address + (fits - 1)));
        result_.stored += data.size();
        return Placement::Stored;
    }
    if ((address & 0x000FFF00u) == 0x000FFF00u)
        return Placement::Skipped;
    return Placement::OutOfRange;
}

void ImageRecordSink::NoteRange(std::uint32_t first, std::uint32_t last) {
    auto& ranges = result_.ranges;
    if (!ranges.empty() && ranges.back().last != 0xFFFFFFFFu && ranges.back().last + 1 == first) {
        ranges.back().last = last;
        return;
    }
    ranges.push_back({first, last});
}

ImageLoadResult ImageRecordSink::Finish(bool ok, bool outOfRange, std::uint8_t failFill) {
    result_.ok = ok;
    result_.outOfRange = outOfRange;
    if (!ok) {
        std::fill(target_.image.begin(), target_.image.end(), failFill);
        result_.ranges.clear();
    } else if (result_.stored > 0) {
        result_.logLines.push_back(std::string(image_text::kSummaryHead) +
                                   std::to_string(result_.stored) +
                                   std::string(image_text::kSummaryTail));
    }
    return std::move(result_);
}

} // namespace tessaly
