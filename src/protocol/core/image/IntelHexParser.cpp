#include "core/image/HexText.h"
#include "core/image/ImageLoad.h"
#include "core/image/ImageRecordSink.h"
#include "core/image/TextLines.h"

#include <array>

namespace tessaly {

namespace {

constexpr std::uint32_t kData = 0x00;
constexpr std::uint32_t kSegmentAddress = 0x02;
constexpr std::uint32_t kLinearAddress = 0x04;
// Longer records are skipped without comment.
constexpr std::uint32_t kMaxRecordLength = 0x80;

// Characters 10 and on hold the payload; character 1 (the colon) is not examined.
constexpr std::size_t kPayloadStart = 10;

std::uint8_t ExpectedChecksum(std::uint32_t sum) {
    return static_cast<std::uint8_t>(0u - sum);
}

} // namespace

ImageLoadResult ParseIntelHex(std::string_view text, ImageTarget target) {
    ImageRecordSink sink(target);
    std::uint32_t addressBase = 0;
    std::size_t lineNumber = 0;
    ForEachTextLine(text, [&](std::string_view line) {
        ++lineNumber;
        // A blank line is no record at all (read field by field it would pose as an empty
        // data record at address 0, which lies outside every image).
        if (line.empty())
            return true;
        if (line.front() == ':')
            sink.Record();
        else if (!IsBlankLine(line))
            sink.Foreign(lineNumber);
        const std::uint32_t length = LineByte(line, 2);
        const auto offset = static_cast<std::uint32_t>(HexTextToInt(LineField(line, 4, 7)));
        const std::uint32_t type = LineByte(line, 8);
        if (length > kMaxRecordLength)
            return true;
        const std::uint32_t headerSum = length + LineByte(line, 4) + LineByte(line, 6) + type;
        if (type == kSegmentAddress || type == kLinearAddress) {
            const auto value = static_cast<std::uint32_t>(
                HexTextToInt(LineField(line, kPayloadStart, kPayloadStart + 3)));
            const std::uint32_t sum =
                headerSum + LineByte(line, kPayloadStart) + LineByte(line, kPayloadStart + 2);
            if (LineByte(line, kPayloadStart + 4) == ExpectedChecksum(sum)) {
                addressBase = type == kSegmentAddress ? value * 16 : value << 16;
            } else {
                sink.Damaged(ImageDamage::Checksum, lineNumber);
                // A broken segment record has always left its raw value as the base.
                if (type == kSegmentAddress)
                    addressBase = value;
            }
            return true;
        }
        if (type != kData)
            return true;
        std::array<std::uint8_t, kMaxRecordLength> data{};
        std::uint32_t sum = headerSum;
        for (std::size_t i = 0; i < length; ++i) {
            data[i] = LineByte(line, kPayloadStart + 2 * i);
            sum += data[i];
        }
        if (LineByte(line, kPayloadStart + 2 * length) != ExpectedChecksum(sum)) {
            sink.Damaged(ImageDamage::Checksum, lineNumber);
            return true;
        }
        return sink.Store(offset + addressBase, {data.data(), length}, lineNumber);
    });
    return sink.Finish(0x00);
}

} // namespace tessaly
