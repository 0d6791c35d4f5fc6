#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Firmware text for tests, written record by record with correct checksums, so that a test
// states only the addresses and bytes it cares about.
namespace firmware_records {

// "S2" (3 address bytes) or "S3" (4 address bytes) data record, or any other S type with the
// given number of address bytes.
std::string SRecord(const std::string& type, std::uint32_t address, int addressBytes,
                    const std::vector<std::uint8_t>& data);
inline std::string S3(std::uint32_t address, const std::vector<std::uint8_t>& data) {
    return SRecord("S3", address, 4, data);
}
inline std::string S2(std::uint32_t address, const std::vector<std::uint8_t>& data) {
    return SRecord("S2", address, 3, data);
}

// Intel HEX record of `type` at the 16-bit `offset`.
std::string HexRecord(std::uint8_t type, std::uint16_t offset,
                      const std::vector<std::uint8_t>& data);

// Lines joined with CR LF, each line ended.
std::string Join(const std::vector<std::string>& lines);

// One S-record file as the firmware is shipped: an S0 header, S3 records of 16 data bytes from
// `start` holding `bytes` bytes of `pattern(address)`, and an S7 terminator.
std::string SRecordFile(std::uint32_t start, std::uint32_t bytes,
                        std::uint8_t (*pattern)(std::uint32_t address));

// The byte the generated firmware holds at `address`: never 0xFF, so every stored byte shows.
std::uint8_t FirmwareByte(std::uint32_t address);

// The built-in firmware's layout: two S-record files one after the other (0xFFFFC000 with 7,336
// bytes, then 0xFFFC0000 with 57,301 bytes) and a final 0x1A byte.
std::string TwoPartFirmware();

} // namespace firmware_records
