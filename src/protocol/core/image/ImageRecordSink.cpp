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
    written_.assign(limit_, false);
}

ImageRecordSink::Placement ImageRecordSink::Place(std::uint32_t address,
                                                  std::span<const std::uint8_t> data) {
    // A record whose data would wrap to address 0 is cut short by no rule: it is damaged, and
    // with it the file.
    if (!data.empty() && std::uint64_t{address} + data.size() - 1 > 0xFFFFFFFFu)
        return Placement::Wraps;
    if (address >= target_.base && address <= target_.end) {
        const std::uint64_t offset = address - target_.base;
        const std::uint64_t fits =
            offset < limit_ ? std::min<std::uint64_t>(data.size(), limit_ - offset) : 0;
        NoteOverwrite(offset, data.first(fits));
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

void ImageRecordSink::NoteOverwrite(std::uint64_t offset, std::span<const std::uint8_t> data) {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    bool changed = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint64_t at = offset + i;
        if (written_[at] && target_.image[at] != data[i]) {
            if (!changed)
                first = at;
            last = at;
            changed = true;
        }
        written_[at] = true;
    }
    if (changed && !result_.overwritten)
        result_.overwritten = AddressRange{static_cast<std::uint32_t>(target_.base + first),
                                           static_cast<std::uint32_t>(target_.base + last)};
}

bool ImageRecordSink::Store(std::uint32_t address, std::span<const std::uint8_t> data,
                            std::size_t line) {
    switch (Place(address, data)) {
    case Placement::OutOfRange:
        result_.ok = false;
        result_.outOfRange = true;
        return false;
    case Placement::Wraps:
        Damaged(ImageDamage::Wraps, line);
        return true;
    default:
        return true;
    }
}

void ImageRecordSink::Damaged(ImageDamage damage, std::size_t line) {
    result_.ok = false;
    if (result_.damage != ImageDamage::None)
        return;
    result_.damage = damage;
    result_.damagedLine = line;
}

void ImageRecordSink::Record() {
    sawRecord_ = true;
}

void ImageRecordSink::Foreign(std::size_t line) {
    if (result_.firstForeignLine == 0)
        result_.firstForeignLine = line;
}

void ImageRecordSink::NoteRange(std::uint32_t first, std::uint32_t last) {
    auto& ranges = result_.ranges;
    if (!ranges.empty() && ranges.back().last != 0xFFFFFFFFu && ranges.back().last + 1 == first) {
        ranges.back().last = last;
        return;
    }
    ranges.push_back({first, last});
}

ImageLoadResult ImageRecordSink::Finish(std::uint8_t failFill) {
    if (!result_.ok) {
        std::fill(target_.image.begin(), target_.image.end(), failFill);
        result_.ranges.clear();
        result_.overwritten.reset();
    } else if (result_.stored == 0 && result_.firstForeignLine > 0 && !sawRecord_) {
        result_.damage = ImageDamage::NotFirmware;
        result_.damagedLine = result_.firstForeignLine;
    } else if (result_.stored > 0) {
        result_.logLines.push_back(std::string(image_text::kSummaryHead) +
                                   std::to_string(result_.stored) +
                                   std::string(image_text::kSummaryTail));
    }
    return std::move(result_);
}

} // namespace tessaly
