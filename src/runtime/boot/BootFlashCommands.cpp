#include "core/boot/BootFrames.h"
#include "link/TFlashWrRXCont.h"

namespace {
namespace Cmd = tessaly::BootCmd;

// The RX63x kind accepts an ID code with 0x26, the RX231 kind with 0x06.
constexpr std::uint8_t kIdCodeAccepted63x = 0x26;
} // namespace

int TFlashWrRXCont::UserBootBlankCheck() {
    return SendBootByte(Cmd::UserBootBlankCheck, tessaly::kBootAck);
}

int TFlashWrRXCont::UserAreaBlankCheck() {
    return SendBootByte(Cmd::UserAreaBlankCheck, tessaly::kBootAck);
}

int TFlashWrRXCont::Write256Bytes(std::uint32_t address, std::span<const std::uint8_t, 256> data) {
    return SendBootFrameAck(tessaly::ProgrammingFrame(address, data), tessaly::kBootAck);
}

int TFlashWrRXCont::MemRead(std::uint8_t area, std::uint32_t address, std::uint32_t size,
                            int cpuProg) {
    SendBootFrame(tessaly::MemReadFrame(area, address, size, cpuProg));
    std::int32_t length = 0;
    return ReadDataReply(Cmd::MemRead, kBootDataReplyMs, length);
}

int TFlashWrRXCont::BlockErase(std::uint8_t block) {
    return SendBootFrameAck(tessaly::BlockEraseFrame(block), tessaly::kBootAck);
}

int TFlashWrRXCont::BlockEraseAddr(std::uint32_t address) {
    return SendBootFrameAck(tessaly::BlockEraseAddrFrame(address), tessaly::kBootAck);
}

int TFlashWrRXCont::IDCodeCheck(const std::array<std::uint8_t, 16>& code) {
    return SendBootFrameAck(tessaly::IdCodeFrame(code),
                            BootTargetIsRx231() ? tessaly::kBootAck : kIdCodeAccepted63x);
}

int TFlashWrRXCont::ReadLockBitStatus(std::uint32_t address, std::uint8_t& status) {
    SendBootFrame(tessaly::LockBitFrame(Cmd::ReadLockBitStatus, address));
    return ReadStatusReply(kBootReplyMs, status);
}

int TFlashWrRXCont::DisaLockBit() {
    return SendBootByte(Cmd::DisaLockBit, tessaly::kBootAck);
}

int TFlashWrRXCont::ProgLockBit(std::uint32_t address) {
    return SendBootFrameAck(tessaly::LockBitFrame(Cmd::ProgLockBit, address), tessaly::kBootAck);
}

int TFlashWrRXCont::EnLockBit() {
    return SendBootByte(Cmd::EnLockBit, tessaly::kBootAck);
}

int TFlashWrRXCont::GetFlashCrc(std::uint16_t& crc) {
    SendBootFrame({Cmd::GetFlashCrc});
    if (!WaitRxCount(3, kBootReplyMs))
        return 0;
    const std::uint8_t code = ReadRxByte();
    const std::uint8_t high = ReadRxByte();
    const std::uint8_t low = ReadRxByte();
    if (code != Cmd::GetFlashCrc)
        return 0;
    crc = static_cast<std::uint16_t>((high << 8) | low);
    return 1;
}

int TFlashWrRXCont::BootRestart() {
    return SendBootByte(Cmd::Restart, Cmd::Restart);
}
