#pragma once

#include <cstdint>

namespace tessaly {

// Serial speed of the bridge module, by index: 0 = 9600, 1 = 19200, 2 = 38400, 3 = 57600,
// 4 = 115200 bit/s (the order of the environment dialog's speed group).
constexpr std::int32_t kBridgeSpeed115200 = 4;
// The R/W's own commands are only understood at this serial speed of the bridge.
constexpr std::int32_t kReaderBridgeBps = 115200;

// The code the module keeps in the low nibble of setup-record byte 17. An index without an
// entry of its own gets the 19.2 kbit/s code, the slowest speed the boot program needs.
constexpr std::uint8_t BridgeSpeedCode(std::int32_t speedIndex) {
    switch (speedIndex) {
    case 0:
        return 0x2;
    case 1:
        return 0x1;
    case 2:
        return 0x0;
    case 3:
        return 0x9;
    case 4:
        return 0x8;
    default:
        return 0x1;
    }
}

// The speed index for a speed in bit/s; any speed not in the list counts as index 1.
constexpr std::int32_t BridgeSpeedIndexForBps(std::int32_t bps) {
    switch (bps) {
    case 9600:
        return 0;
    case 19200:
        return 1;
    case 38400:
        return 2;
    case 57600:
        return 3;
    case 115200:
        return 4;
    default:
        return 1;
    }
}

// The speed in bit/s that a speed code of the setup record (its low nibble) stands for; 0 for a
// code without a speed.
constexpr std::int32_t BridgeBpsForCode(std::uint8_t code) {
    switch (code & 0x0F) {
    case 0x2:
        return 9600;
    case 0x1:
        return 19200;
    case 0x0:
        return 38400;
    case 0x9:
        return 57600;
    case 0x8:
        return 115200;
    default:
        return 0;
    }
}

} // namespace tessaly
