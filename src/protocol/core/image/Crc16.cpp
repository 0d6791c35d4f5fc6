#include "core/image/Crc16.h"

#include <array>

namespace tessaly {

namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0x8408u : crc >> 1;
        table[i] = static_cast<std::uint16_t>(crc);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

} // namespace

std::uint16_t CalcCrc16(const std::uint8_t* data, std::uint32_t count) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint32_t i = 0; i < count; ++i)
        crc = static_cast<std::uint16_t>(kTable[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8));
    return static_cast<std::uint16_t>(crc ^ 0xFFFF);
}

} // namespace tessaly
