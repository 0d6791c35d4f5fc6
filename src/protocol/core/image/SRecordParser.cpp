#include "core/image/HexText.h"
#include "core/image/ImageLoad.h"
#include "core/image/ImageRecordSink.h"
#include "core/image/TextLines.h"

#include <array>

namespace tessaly {

namespace {

// Address bytes of the record types that are loaded; 0 for every other line.
std::size_t AddressBytes(std::string_view line) {
    const std::string_view type = LineField(line, 1, 2);
    if (type == "S2")
        return 3;
    if (type == "S3")
        return 4;
    return 0;
}

} // namespace

ImageLoadResult ParseSRecords(std::string_view text, ImageTarget target) {
    ImageRecordSink sink(target);
    std::size_t lineNumber = 0;
    ForEachTextLine(text, [&](std::string_view line) {
        ++lineNumber;
        if (!line.empty() && line.front() == 'S')
            sink.Record();
        else if (!IsBlankLine(line))
            sink.Foreign(lineNumber);
        const std::size_t addressBytes = AddressBytes(line);
        if (addressBytes == 0)
            return true;
        const std::uint32_t count = LineByte(line, 3);
        // The count covers the address, the data and the checksum byte; a record too short to
        // hold its own address cannot be valid and fails the file like a bad checksum.
        if (count < addressBytes + 1) {
            sink.Damaged(ImageDamage::Count, lineNumber);
            return true;
        }
        const std::size_t addressEnd = 4 + 2 * addressBytes;
        const auto address =
            static_cast<std::uint32_t>(HexTextToInt(LineField(line, 5, addressEnd)));
        std::uint32_t sum = count;
        for (std::size_t i = 0; i < addressBytes; ++i)
            sum += LineByte(line, 5 + 2 * i);
        const std::size_t length = count - addressBytes - 1;
        std::array<std::uint8_t, 256> data{};
        const std::size_t dataStart = addressEnd + 1;
        for (std::size_t i = 0; i < length; ++i) {
            data[i] = LineByte(line, dataStart + 2 * i);
            sum += data[i];
        }
        sum += LineByte(line, dataStart + 2 * length);
        if ((sum & 0xFFu) != 0xFFu) {
            sink.Damaged(ImageDamage::Checksum, lineNumber);
            return true;
        }
        return sink.Store(address, {data.data(), length}, lineNumber);
    });
    return sink.Finish(0xFF);
}

} // namespace tessaly
