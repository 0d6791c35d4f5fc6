#include "core/boot/BootFrames.h"
#include "core/link/TargetDevice.h"
#include "link/TFlashWrRXCont.h"

namespace {
namespace Cmd = tessaly::BootCmd;

// The RX231 kind acknowledges the device selection with this byte instead of 0x06.
constexpr std::uint8_t kDeviceSelectAck231 = 0x46;
} // namespace

bool TFlashWrRXCont::BootTargetIsRx231() const {
    return OptionPara.fCPUType == tessaly::kKindRx231;
}

int TFlashWrRXCont::DeviceSelect(const std::array<char, 4>& code) {
    return SendBootFrameAck(tessaly::DeviceSelectFrame(code),
                            BootTargetIsRx231() ? kDeviceSelectAck231 : tessaly::kBootAck);
}

int TFlashWrRXCont::SelectClockMode(std::uint8_t mode) {
    return SendBootFrameAck(tessaly::SelectClockModeFrame(mode), tessaly::kBootAck);
}

int TFlashWrRXCont::EraseStatusSet(std::uint8_t& state) {
    state = 0;
    SendBootFrame({Cmd::EraseStatusSet});
    if (!WaitRxCount(1, kBootReplyMs))
        return 0;
    state = ReadRxByte();
    if (state == tessaly::kBootStateNeedsIdCode)
        return 1;
    const std::uint8_t ready =
        BootTargetIsRx231() ? tessaly::kBootStateReady231 : tessaly::kBootStateReady63x;
    return state == ready ? 1 : 0;
}

int TFlashWrRXCont::SelUserBootArea() {
    return SendBootByte(Cmd::SelUserBootArea, tessaly::kBootAck);
}

int TFlashWrRXCont::SelUserArea() {
    return SendBootByte(Cmd::SelUserArea, tessaly::kBootAck);
}

int TFlashWrRXCont::SelErase() {
    return SendBootByte(Cmd::SelErase, tessaly::kBootAck);
}
