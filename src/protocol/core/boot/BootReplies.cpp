#include "core/boot/BootReplies.h"

#include <algorithm>

namespace tessaly {

namespace {

// Reads big-endian fields from the data bytes and remembers when one did not fit.
class DataCursor {
public:
    explicit DataCursor(std::span<const std::uint8_t> data) : data_(data) {}
    bool ok() const { return ok_; }
    std::uint32_t Take(std::size_t bytes) {
        if (!ok_ || data_.size() - pos_ < bytes) {
            ok_ = false;
            return 0;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            value = (value << 8) | data_[pos_++];
        return value;
    }
    std::string TakeText(std::size_t count) {
        const std::size_t n = std::min(count, data_.size() - pos_);
        std::string text(data_.begin() + static_cast<std::ptrdiff_t>(pos_),
                         data_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
        pos_ += n;
        if (n < count)
            ok_ = false;
        return text;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

} // namespace

std::span<const std::uint8_t> InquiryData(std::span<const std::uint8_t> reply) {
    if (reply.size() < 3)
        return {};
    const std::size_t held = reply.size() - 3; // without code, size and sum
    return reply.subspan(2, std::min<std::size_t>(reply[1], held));
}

BootDeviceList DecodeDeviceList(std::span<const std::uint8_t> reply) {
    BootDeviceList list;
    DataCursor in(InquiryData(reply));
    list.count = static_cast<int>(in.Take(1));
    for (int i = 0; i < list.count && in.ok(); ++i) {
        BootDevice device;
        device.charCount = static_cast<int>(in.Take(1));
        if (!in.ok())
            break;
        device.code = in.TakeText(std::min(device.charCount, 4));
        if (device.charCount > 4)
            device.name = in.TakeText(static_cast<std::size_t>(device.charCount - 4));
        list.devices.push_back(std::move(device));
    }
    list.complete = in.ok();
    return list;
}

std::optional<std::uint8_t> DecodeFirstClockMode(std::span<const std::uint8_t> reply) {
    const auto data = InquiryData(reply);
    if (data.empty())
        return std::nullopt;
    return data[0];
}

BootRatioList DecodeRatioList(std::span<const std::uint8_t> reply) {
    BootRatioList list;
    DataCursor in(InquiryData(reply));
    list.clockCount = static_cast<int>(in.Take(1));
    for (int c = 0; c < list.clockCount && in.ok(); ++c) {
        const std::uint32_t m = in.Take(1);
        if (!in.ok())
            break;
        std::vector<std::uint8_t> ratios;
        for (std::uint32_t k = 0; k < m; ++k) {
            const std::uint8_t r = static_cast<std::uint8_t>(in.Take(1));
            if (!in.ok())
                break;
            ratios.push_back(r);
        }
        list.ratios.push_back(std::move(ratios));
    }
    list.complete = in.ok();
    return list;
}

BootFrequencyList DecodeFrequencyList(std::span<const std::uint8_t> reply) {
    BootFrequencyList list;
    DataCursor in(InquiryData(reply));
    list.clockCount = static_cast<int>(in.Take(1));
    for (int c = 0; c < list.clockCount; ++c) {
        BootFrequencyRange range;
        range.min = static_cast<std::uint16_t>(in.Take(2));
        range.max = static_cast<std::uint16_t>(in.Take(2));
        if (!in.ok())
            break;
        list.clocks.push_back(range);
    }
    list.complete = in.ok();
    return list;
}

BootAreaList DecodeAreaList(std::span<const std::uint8_t> reply) {
    BootAreaList list;
    DataCursor in(InquiryData(reply));
    list.count = static_cast<int>(in.Take(1));
    for (int k = 0; k < list.count; ++k) {
        BootArea area;
        area.first = in.Take(4);
        area.last = in.Take(4);
        if (!in.ok())
            break;
        list.areas.push_back(area);
    }
    list.complete = in.ok();
    return list;
}

std::optional<std::uint16_t> DecodeProgrammingSize(std::span<const std::uint8_t> reply) {
    DataCursor in(InquiryData(reply));
    const auto size = static_cast<std::uint16_t>(in.Take(2));
    return in.ok() ? std::optional(size) : std::nullopt;
}

bool DecodeDataAreaAvailable(std::span<const std::uint8_t> reply) {
    const auto data = InquiryData(reply);
    return !data.empty() && data[0] == 0x21;
}

std::optional<std::uint32_t> DecodeChecksum(std::span<const std::uint8_t> reply) {
    DataCursor in(InquiryData(reply));
    const std::uint32_t sum = in.Take(4);
    return in.ok() ? std::optional(sum) : std::nullopt;
}

std::optional<BootProgStatus> DecodeProgStatus(std::span<const std::uint8_t> reply) {
    DataCursor in(InquiryData(reply));
    BootProgStatus s;
    s.status = static_cast<std::uint8_t>(in.Take(1));
    s.error = static_cast<std::uint8_t>(in.Take(1));
    return in.ok() ? std::optional(s) : std::nullopt;
}

std::string FormatFrequency(std::uint16_t hundredthsMHz) {
    const unsigned whole = hundredthsMHz / 100u;
    const unsigned cents = hundredthsMHz % 100u;
    std::string text = whole ? std::to_string(whole) : std::string();
    text += '.';
    text += static_cast<char>('0' + cents / 10);
    text += static_cast<char>('0' + cents % 10);
    return text;
}

} // namespace tessaly
