#include "support/FirmwareRecords.h"

#include <algorithm>
#include <cstdio>

namespace firmware_records {

namespace {

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char two[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02X", b);
        out += two;
    }
    return out;
}

std::vector<std::uint8_t> BigEndian(std::uint32_t value, int bytes) {
    std::vector<std::uint8_t> out;
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return out;
}

std::uint8_t Sum(const std::vector<std::uint8_t>& bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    return static_cast<std::uint8_t>(sum);
}

} // namespace

std::string SRecord(const std::string& type, std::uint32_t address, int addressBytes,
                    const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> body{
        static_cast<std::uint8_t>(addressBytes + static_cast<int>(data.size()) + 1)};
    const std::vector<std::uint8_t> addr = BigEndian(address, addressBytes);
    body.insert(body.end(), addr.begin(), addr.end());
    body.insert(body.end(), data.begin(), data.end());
    body.push_back(static_cast<std::uint8_t>(~Sum(body)));
    return type + HexBytes(body);
}

std::string HexRecord(std::uint8_t type, std::uint16_t offset,
                      const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(data.size()),
                                   static_cast<std::uint8_t>(offset >> 8),
                                   static_cast<std::uint8_t>(offset), type};
    body.insert(body.end(), data.begin(), data.end());
    body.push_back(static_cast<std::uint8_t>(0u - Sum(body)));
    return ":" + HexBytes(body);
}

std::string Join(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

std::string SRecordFile(std::uint32_t start, std::uint32_t bytes,
                        std::uint8_t (*pattern)(std::uint32_t address)) {
    std::vector<std::string> lines{SRecord("S0", 0, 2, {'t', 'e', 's', 't'})};
    for (std::uint32_t done = 0; done < bytes;) {
        const std::uint32_t n = std::min<std::uint32_t>(16, bytes - done);
        std::vector<std::uint8_t> data;
        for (std::uint32_t i = 0; i < n; ++i)
            data.push_back(pattern(start + done + i));
        lines.push_back(S3(start + done, data));
        done += n;
    }
    lines.push_back(SRecord("S7", start, 4, {}));
    return Join(lines);
}

std::uint8_t FirmwareByte(std::uint32_t address) {
    return static_cast<std::uint8_t>((address * 7u + (address >> 8)) % 0xFFu);
}

std::string TwoPartFirmware() {
    return SRecordFile(0xFFFFC000u, 7336, FirmwareByte) +
           SRecordFile(0xFFFC0000u, 57301, FirmwareByte) + "\x1A";
}

} // namespace firmware_records
