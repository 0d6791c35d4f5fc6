#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tessaly {

// Frames of the microcontroller's boot program. Every multi-byte number goes out big-endian.
using BootFrame = std::vector<std::uint8_t>;

// The two's complement of the 8-bit sum: the covered bytes plus the sum byte add up to 0.
std::uint8_t BootSum(std::span<const std::uint8_t> bytes);

// Boot-mode command bytes.
namespace BootCmd {
constexpr std::uint8_t DeviceSelect = 0x10;
constexpr std::uint8_t SelectClockMode = 0x11;
constexpr std::uint8_t SupportDevice = 0x20;
constexpr std::uint8_t ClockInfo = 0x21;
constexpr std::uint8_t TeibaiInfo = 0x22;
constexpr std::uint8_t GetClockInfo = 0x23;
constexpr std::uint8_t BootAreaInfo = 0x24;
constexpr std::uint8_t UserAreaInfo = 0x25;
constexpr std::uint8_t WriteSizeInfo = 0x27;
constexpr std::uint8_t DataAreaChk = 0x2A;
constexpr std::uint8_t DataAreaInfo = 0x2B;
constexpr std::uint8_t SelectBitRate = 0x3F;
constexpr std::uint8_t EraseStatusSet = 0x40;
constexpr std::uint8_t SelUserBootArea = 0x42;
constexpr std::uint8_t SelUserArea = 0x43;
constexpr std::uint8_t SelErase = 0x48;
constexpr std::uint8_t UserBootSumCheck = 0x4A;
constexpr std::uint8_t UserAreaSumCheck = 0x4B;
constexpr std::uint8_t UserBootBlankCheck = 0x4C;
constexpr std::uint8_t UserAreaBlankCheck = 0x4D;
constexpr std::uint8_t BootProgInfo = 0x4F;
constexpr std::uint8_t Write256Bytes = 0x50;
constexpr std::uint8_t MemRead = 0x52;
constexpr std::uint8_t BlockErase = 0x58;
constexpr std::uint8_t BlockEraseAddr = 0x59;
constexpr std::uint8_t IDCodeCheck = 0x60;
constexpr std::uint8_t DataSumCheck = 0x61;
constexpr std::uint8_t ReadLockBitStatus = 0x71;
constexpr std::uint8_t DisaLockBit = 0x75;
constexpr std::uint8_t ProgLockBit = 0x77;
constexpr std::uint8_t EnLockBit = 0x7A;
constexpr std::uint8_t Restart = 0x9D;
constexpr std::uint8_t GetFlashCrc = 0x9F;
} // namespace BootCmd

// The reply code of an inquiry is its command byte plus 0x10.
constexpr std::uint8_t InquiryReplyCode(std::uint8_t command) {
    return static_cast<std::uint8_t>(command + 0x10);
}

constexpr std::uint8_t kBootAck = 0x06;
constexpr std::uint8_t kBootMatchByte = 0x00;
constexpr std::uint8_t kBootMatchConfirm = 0x55;
constexpr std::uint8_t kBootMatchConfirmReply = 0xE6;
// The first byte of a lock-bit status reply that announces an error code.
constexpr std::uint8_t kBootStatusError = 0xF1;
// Answers of the programming/erasure state transition (0x40): ready without an ID code (by
// target kind), or asking for an ID code first.
constexpr std::uint8_t kBootStateReady63x = 0x26;
constexpr std::uint8_t kBootStateReady231 = 0x06;
constexpr std::uint8_t kBootStateNeedsIdCode = 0x16;
// The address of the end-of-programming frame and the end-of-erasure by address.
constexpr std::uint32_t kBootEndAddress = 0xFFFFFFFFu;
// The block number that ends an erasure by block number.
constexpr std::uint8_t kBootEndBlock = 0xFF;

constexpr std::size_t kBootPageSize = 256;
using BootPage = std::span<const std::uint8_t, kBootPageSize>;
using BootIdCode = std::array<std::uint8_t, 16>;

// command, size, data, sum.
BootFrame CommandWithData(std::uint8_t command, std::span<const std::uint8_t> data);

BootFrame DeviceSelectFrame(const std::array<char, 4>& code);
BootFrame SelectClockModeFrame(std::uint8_t mode);
// bitRate in 100 bit/s, freq in 0.01 MHz, then the count of ratios (always 2) and the ratios.
BootFrame SelectBitRateFrame(std::uint16_t bitRate, std::uint16_t freq, std::uint8_t ratio1,
                             std::uint8_t ratio2);
// The input clock field of the new bit rate: the single-precision MHz setting times 100,
// truncated, computed wider than single precision as the program has always done (13.56 gives
// 1356, 12.29 gives 1228).
std::uint16_t InputClockField(float freqMHz);
// The programming frame has no size byte. For the end address only the address and the sum
// are sent, whatever `page` holds.
BootFrame ProgrammingFrame(std::uint32_t address, BootPage page);
BootFrame EndOfProgrammingFrame();
// With cpuProg set the first byte is 0xFF instead of the command byte.
BootFrame MemReadFrame(std::uint8_t area, std::uint32_t address, std::uint32_t size, int cpuProg);
BootFrame BlockEraseFrame(std::uint8_t block);
BootFrame BlockEraseAddrFrame(std::uint32_t address);
BootFrame IdCodeFrame(const BootIdCode& code);
// The lock-bit commands carry one 0x01 and the low 24 address bits only.
BootFrame LockBitFrame(std::uint8_t command, std::uint32_t address);

} // namespace tessaly
