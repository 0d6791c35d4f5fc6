#pragma once

#include "rwsim/SimConfig.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace rwsim {

class FlashModel;
class Transcript;

// Where the boot program stands. The values of the command states are the status codes its
// status inquiry reports.
enum class BootState : std::uint8_t {
    Matching = 0x00, // counting 0x00 bytes to measure the bit rate
    Matched = 0x01,  // bit rate measured, waiting for 0x55
    DeviceSelect = 0x11,
    ClockModeSelect = 0x12,
    BitRateSelect = 0x13,
    Confirming = 0x1E,     // new bit rate accepted, waiting for 0x06 at that rate
    TransitionWait = 0x1F, // waiting for the programming/erasure state transition
    IdCodeWait = 0x20,     // the flash is protected, waiting for the ID code
    CommandWait = 0x3F,    // programming/erasure host command wait
    ProgramData = 0x4F,
    EraseBlocks = 0x5F,
};

// The microcontroller's built-in boot program, RX231 kind or RX63x kind, over its serial line.
class BootProgram {
public:
    static constexpr int kMatchingBps = 19200;
    // 0x00 bytes needed to measure the bit rate; the host sends at least ten before it waits.
    static constexpr int kZerosToMatch = 8;

    struct Hooks {
        std::function<void(std::vector<std::uint8_t>, int busyUs)> send;
        std::function<void(bool programmed)> restart; // back into the R/W firmware
        std::function<void()> powerLoss;
    };

    BootProgram(const SimConfig& config, FlashModel& flash, Transcript& transcript, Hooks hooks);

    void Start(); // fresh from reset
    int ListenBps() const { return listenBps_; }
    void Receive(std::uint8_t byte);
    BootState State() const { return state_; }
    std::size_t UnfinishedFrameBytes() const { return frame_.size(); }

    // Two's complement of the 8-bit sum: a frame plus its sum adds up to zero.
    static std::uint8_t Sum(const std::vector<std::uint8_t>& bytes, std::size_t count);

private:
    bool IsRx231() const { return config_.kind == McuKind::Rx231; }
    void ReceiveMatching(std::uint8_t byte);
    std::size_t FrameLength() const; // 0 while too few bytes are in to tell
    void HandleFrame(const std::vector<std::uint8_t>& frame);
    bool AllowedNow(std::uint8_t command) const;
    static bool IsInquiry(std::uint8_t command);

    // set-up
    void DeviceSelect(const std::vector<std::uint8_t>& data);
    void ClockModeSelect(const std::vector<std::uint8_t>& data);
    void NewBitRate(const std::vector<std::uint8_t>& data);
    void Transition();
    void IdCode(const std::vector<std::uint8_t>& data);
    // flash
    void BlankCheck();
    void EraseByAddress(const std::vector<std::uint8_t>& data);
    void EraseByNumber(const std::vector<std::uint8_t>& data);
    void ProgramPage(const std::vector<std::uint8_t>& frame);
    // The planned erase faults for one block erasure: true when one struck and the frame is
    // done with.
    bool EraseFaultStrikes(std::uint8_t command);
    void FlashCrc();
    void MemoryRead(const std::vector<std::uint8_t>& data);
    void LockBit(std::uint8_t command, const std::vector<std::uint8_t>& data);
    void Restart();
    // inquiries
    void Inquiry(std::uint8_t command);
    void InquiryReply(std::uint8_t code, std::vector<std::uint8_t> data);

    void Ack(std::uint8_t byte = 0x06, int busyUs = 0);
    void Refuse(std::uint8_t command, std::uint8_t error, const QString& why);
    std::uint8_t StateAck() const { return IsRx231() ? 0x06 : 0x26; }

    const SimConfig& config_;
    FlashModel& flash_;
    Transcript& transcript_;
    Hooks hooks_;

    BootState state_ = BootState::Matching;
    int listenBps_ = kMatchingBps;
    int zeros_ = 0;
    std::uint8_t lastError_ = 0x00;
    std::vector<std::uint8_t> frame_;
    int pagesThisSession_ = 0;
    bool programmed_ = false;
    // Fault counters live as long as the simulator: a fault strikes once.
    int pageFrames_ = 0;
    int eraseFrames_ = 0;
    bool powerLost_ = false;
};

} // namespace rwsim
