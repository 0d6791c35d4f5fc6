#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaly {

// Decoders for the inquiry replies of the boot program. Each takes the whole reply as read
// (reply code, size, data, sum) and looks only at the data bytes the size byte announces and
// the buffer really holds: a count that promises more entries than the data carries yields
// only the entries that are there, and `complete` is false.

struct BootDevice {
    int charCount = 0; // as announced: code and name together
    std::string code;  // 4 ASCII characters (fewer when the data ends early)
    std::string name;  // charCount - 4 characters, none below 4
};
struct BootDeviceList {
    int count = 0;
    std::vector<BootDevice> devices;
    bool complete = true;
};

struct BootRatioList {
    int clockCount = 0;
    std::vector<std::vector<std::uint8_t>> ratios; // per clock
    bool complete = true;
};

struct BootFrequencyRange {
    std::uint16_t min = 0; // in 0.01 MHz
    std::uint16_t max = 0;
};
struct BootFrequencyList {
    int clockCount = 0;
    std::vector<BootFrequencyRange> clocks;
    bool complete = true;
};

struct BootArea {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
};
struct BootAreaList {
    int count = 0;
    std::vector<BootArea> areas;
    bool complete = true;
};

struct BootProgStatus {
    std::uint8_t status = 0;
    std::uint8_t error = 0;
};

// The data bytes of a reply: after code and size, at most `size` bytes, never the sum.
std::span<const std::uint8_t> InquiryData(std::span<const std::uint8_t> reply);

BootDeviceList DecodeDeviceList(std::span<const std::uint8_t> reply);                  // 0x30
std::optional<std::uint8_t> DecodeFirstClockMode(std::span<const std::uint8_t> reply); // 0x31
BootRatioList DecodeRatioList(std::span<const std::uint8_t> reply);                    // 0x32
BootFrequencyList DecodeFrequencyList(std::span<const std::uint8_t> reply);            // 0x33
BootAreaList DecodeAreaList(std::span<const std::uint8_t> reply); // 0x34, 0x35, 0x3B
std::optional<std::uint16_t> DecodeProgrammingSize(std::span<const std::uint8_t> reply); // 0x37
// 0x3A: true when the data byte is 0x21 (a data area exists).
bool DecodeDataAreaAvailable(std::span<const std::uint8_t> reply);
std::optional<std::uint32_t> DecodeChecksum(std::span<const std::uint8_t> reply); // 0x5A 0x5B 0x71
std::optional<BootProgStatus> DecodeProgStatus(std::span<const std::uint8_t> reply); // 0x5F

// "###.00": value / 100 with two decimals and no leading zero below 1 (3200 -> "32.00",
// 50 -> ".50").
std::string FormatFrequency(std::uint16_t hundredthsMHz);

} // namespace tessaly
