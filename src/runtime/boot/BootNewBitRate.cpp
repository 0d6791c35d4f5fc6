#include "core/boot/BootFrames.h"
#include "link/TFlashWrRXCont.h"

namespace {
// After a new bit rate is acknowledged the microcontroller needs a moment before it listens
// at the new speed.
constexpr std::uint32_t kBitRateSettleMs = 100;
// Bridge speed index of 115.2 kbit/s, where the update continues.
constexpr std::int32_t kBridgeSpeedFast = 4;
} // namespace

int TFlashWrRXCont::SelectBitRate(std::uint16_t bitRate, std::uint16_t freq, std::uint8_t ratio1,
                                  std::uint8_t ratio2) {
    SendBootFrame(tessaly::SelectBitRateFrame(bitRate, freq, ratio1, ratio2));
    const int acknowledged = WaitAck(tessaly::kBootAck, kBootReplyMs);
    SleepMs(kBitRateSettleMs);
    if (!acknowledged)
        return 0;
    SetBridgeSpeed(kBridgeSpeedFast);
    if (BridgeTurnMissed)
        return 0;
    OpenLink();
    return SendBootByte(tessaly::kBootAck, tessaly::kBootAck);
}
