#include "core/boot/BootFrames.h"

namespace tessaly {

namespace {

void PutBigEndian(BootFrame& frame, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        frame.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendSum(BootFrame& frame) {
    frame.push_back(BootSum(frame));
}

} // namespace

std::uint8_t BootSum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    return static_cast<std::uint8_t>(0x100u - (sum & 0xFFu));
}

BootFrame CommandWithData(std::uint8_t command, std::span<const std::uint8_t> data) {
    BootFrame frame;
    frame.reserve(data.size() + 3);
    frame.push_back(command);
    frame.push_back(static_cast<std::uint8_t>(data.size()));
    frame.insert(frame.end(), data.begin(), data.end());
    AppendSum(frame);
    return frame;
}

BootFrame DeviceSelectFrame(const std::array<char, 4>& code) {
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t i = 0; i < code.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(code[i]);
    return CommandWithData(BootCmd::DeviceSelect, bytes);
}

BootFrame SelectClockModeFrame(std::uint8_t mode) {
    const std::uint8_t data[] = {mode};
    return CommandWithData(BootCmd::SelectClockMode, data);
}

BootFrame SelectBitRateFrame(std::uint16_t bitRate, std::uint16_t freq, std::uint8_t ratio1,
                             std::uint8_t ratio2) {
    BootFrame data;
    PutBigEndian(data, bitRate, 2);
    PutBigEndian(data, freq, 2);
    data.push_back(0x02);
    data.push_back(ratio1);
    data.push_back(ratio2);
    return CommandWithData(BootCmd::SelectBitRate, data);
}

std::uint16_t InputClockField(float freqMHz) {
    return static_cast<std::uint16_t>(
        static_cast<std::int32_t>(static_cast<double>(freqMHz) * 100.0));
}

BootFrame ProgrammingFrame(std::uint32_t address, BootPage page) {
    BootFrame frame{BootCmd::Write256Bytes};
    PutBigEndian(frame, address, 4);
    if (address != kBootEndAddress)
        frame.insert(frame.end(), page.begin(), page.end());
    AppendSum(frame);
    return frame;
}

BootFrame EndOfProgrammingFrame() {
    const std::array<std::uint8_t, kBootPageSize> unused{};
    return ProgrammingFrame(kBootEndAddress, unused);
}

BootFrame MemReadFrame(std::uint8_t area, std::uint32_t address, std::uint32_t size, int cpuProg) {
    BootFrame data{area};
    PutBigEndian(data, address, 4);
    PutBigEndian(data, size, 4);
    return CommandWithData(cpuProg ? std::uint8_t{0xFF} : BootCmd::MemRead, data);
}

BootFrame BlockEraseFrame(std::uint8_t block) {
    const std::uint8_t data[] = {block};
    return CommandWithData(BootCmd::BlockErase, data);
}

BootFrame BlockEraseAddrFrame(std::uint32_t address) {
    BootFrame data;
    PutBigEndian(data, address, 4);
    return CommandWithData(BootCmd::BlockEraseAddr, data);
}

BootFrame IdCodeFrame(const BootIdCode& code) {
    return CommandWithData(BootCmd::IDCodeCheck, code);
}

BootFrame LockBitFrame(std::uint8_t command, std::uint32_t address) {
    BootFrame data{0x01};
    PutBigEndian(data, address & 0x00FFFFFFu, 3);
    return CommandWithData(command, data);
}

} // namespace tessaly
