#include "rwsim/BootProgram.h"

#include "rwsim/FlashModel.h"
#include "rwsim/Transcript.h"

#include <algorithm>
#include <numeric>

// Framing, states and the set-up commands of the boot program. The flash commands and the
// inquiries are in their own files.

namespace rwsim {

namespace {

constexpr std::uint8_t kSumError = 0x11;
constexpr std::uint8_t kDeviceCodeError = 0x21;
constexpr std::uint8_t kClockModeError = 0x22;
constexpr std::uint8_t kBitRateError = 0x24;
constexpr std::uint8_t kInputFrequencyError = 0x25;
constexpr std::uint8_t kRatioError = 0x26;
constexpr std::uint8_t kOperatingFrequencyError = 0x27;
constexpr std::uint8_t kDataLengthError = 0x2B;
constexpr std::uint8_t kIdCodeMismatch = 0x61;
constexpr std::uint8_t kCommandError = 0x80;
constexpr std::uint8_t kConfirmationError = 0xFF;

constexpr std::uint8_t kIdCodeRequired = 0x16;

// Commands that carry a size byte, with the size each one must have.
int DataSize(std::uint8_t command) {
    switch (command) {
    case 0x10:
        return 4; // device select
    case 0x11:
        return 1; // clock mode select
    case 0x3F:
        return 7; // new bit rate
    case 0x52:
        return 9; // memory read
    case 0x58:
        return 1; // block erase by number
    case 0x59:
        return 4; // block erase by address
    case 0x60:
        return 16; // ID code
    case 0x71:
        return 4; // lock bit status
    case 0x77:
        return 4; // lock bit program
    default:
        return -1;
    }
}

const char* DeviceCode(McuKind kind) {
    switch (kind) {
    case McuKind::Rx231:
        return "8a02";
    case McuKind::Rx630:
        return "7505";
    case McuKind::Rx63T:
        return "7n05";
    }
    return "";
}

std::uint16_t Be16(const std::vector<std::uint8_t>& d, std::size_t at) {
    return std::uint16_t(d[at] << 8 | d[at + 1]);
}

bool IsRatio(std::uint8_t ratio) {
    return ratio == 1 || ratio == 2 || ratio == 4 || ratio == 8;
}

} // namespace

BootProgram::BootProgram(const SimConfig& config, FlashModel& flash, Transcript& transcript,
                         Hooks hooks)
    : config_(config), flash_(flash), transcript_(transcript), hooks_(std::move(hooks)) {}

std::uint8_t BootProgram::Sum(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    const unsigned total =
        std::accumulate(bytes.begin(), bytes.begin() + std::ptrdiff_t(count), 0u);
    return std::uint8_t(0x100 - (total & 0xFF));
}

void BootProgram::Start() {
    state_ = BootState::Matching;
    listenBps_ = kMatchingBps;
    zeros_ = 0;
    lastError_ = 0x00;
    frame_.clear();
    pagesThisSession_ = 0;
    programmed_ = false;
}

void BootProgram::Ack(std::uint8_t byte, int busyUs) {
    hooks_.send({byte}, busyUs);
}

void BootProgram::Refuse(std::uint8_t command, std::uint8_t error, const QString& why) {
    lastError_ = error;
    transcript_.Event("refused", QStringLiteral("boot 0x%1: %2").arg(HexText(command, 2), why));
    hooks_.send({std::uint8_t(command | 0x80), error}, 0);
}

void BootProgram::Receive(std::uint8_t byte) {
    switch (state_) {
    case BootState::Matching:
    case BootState::Matched:
        ReceiveMatching(byte);
        return;
    case BootState::Confirming:
        if (byte == 0x06) {
            Ack();
            state_ = BootState::TransitionWait;
            transcript_.Event("boot", QStringLiteral("new bit rate confirmed"));
        } else {
            Refuse(0x3F, kConfirmationError, QStringLiteral("confirmation byte was not 0x06"));
        }
        return;
    default:
        break;
    }
    frame_.push_back(byte);
    const std::size_t length = FrameLength();
    if (length == 0 || frame_.size() < length)
        return;
    std::vector<std::uint8_t> frame;
    frame.swap(frame_);
    HandleFrame(frame);
}

void BootProgram::ReceiveMatching(std::uint8_t byte) {
    if (byte == 0x00) {
        // One answer when the measurement completes. The host sends its zeros in a burst, so
        // answering the later ones too would leave stale answers on the wire that the host
        // would take for the answer to its 0x55.
        if (state_ == BootState::Matching && ++zeros_ == kZerosToMatch) {
            transcript_.Event("boot", QStringLiteral("bit rate measured"));
            state_ = BootState::Matched;
            Ack(0x00);
        }
        return;
    }
    if (state_ == BootState::Matched && byte == 0x55) {
        Ack(0xE6);
        state_ = BootState::DeviceSelect;
        return;
    }
    // Anything else spoils the measurement.
    if (state_ == BootState::Matched)
        Ack(0xFF);
    state_ = BootState::Matching;
    zeros_ = 0;
}

std::size_t BootProgram::FrameLength() const {
    const std::uint8_t command = frame_[0];
    if (command == 0x50) {
        if (frame_.size() < 5)
            return 0;
        const bool end =
            std::all_of(frame_.begin() + 1, frame_.begin() + 5, [](auto b) { return b == 0xFF; });
        return end ? 6 : 262;
    }
    if (DataSize(command) >= 0)
        return frame_.size() < 2 ? 0 : std::size_t(frame_[1]) + 3;
    return 1;
}

bool BootProgram::IsInquiry(std::uint8_t command) {
    switch (command) {
    case 0x20:
    case 0x21:
    case 0x22:
    case 0x23:
    case 0x24:
    case 0x25:
    case 0x27:
    case 0x2A:
    case 0x2B:
        return true;
    default:
        return false;
    }
}

bool BootProgram::AllowedNow(std::uint8_t command) const {
    if (command == 0x4F)
        return true; // the status inquiry answers in every command state
    if (IsInquiry(command))
        return state_ == BootState::DeviceSelect || state_ == BootState::ClockModeSelect ||
               state_ == BootState::BitRateSelect || state_ == BootState::TransitionWait;
    switch (command) {
    case 0x10:
        return state_ == BootState::DeviceSelect;
    case 0x11:
        return state_ == BootState::ClockModeSelect;
    case 0x3F:
        return state_ == BootState::BitRateSelect;
    case 0x40:
        return state_ == BootState::TransitionWait;
    case 0x60:
        return state_ == BootState::IdCodeWait;
    case 0x50:
        return state_ == BootState::ProgramData;
    case 0x58:
        return state_ == BootState::EraseBlocks && !IsRx231();
    case 0x59:
        return state_ == BootState::EraseBlocks && IsRx231();
    case 0x42:
    case 0x43:
    case 0x48:
    case 0x4A:
    case 0x4B:
    case 0x4C:
    case 0x4D:
    case 0x52:
    case 0x61:
    case 0x71:
    case 0x75:
    case 0x77:
    case 0x7A:
    case 0x9D:
    case 0x9F:
        return state_ == BootState::CommandWait;
    default:
        return false;
    }
}

void BootProgram::HandleFrame(const std::vector<std::uint8_t>& frame) {
    const std::uint8_t command = frame[0];
    if (frame.size() > 1 && Sum(frame, frame.size() - 1) != frame.back()) {
        Refuse(command, kSumError, QStringLiteral("sum error in %1").arg(DumpText(frame)));
        return;
    }
    if (!AllowedNow(command)) {
        Refuse(command, kCommandError,
               QStringLiteral("not accepted in state 0x%1").arg(HexText(std::uint8_t(state_), 2)));
        return;
    }
    const int size = DataSize(command);
    if (size >= 0 && frame[1] != size) {
        Refuse(command, kDataLengthError, QStringLiteral("size byte %1").arg(frame[1]));
        return;
    }
    const std::vector<std::uint8_t> data =
        size >= 0 ? std::vector<std::uint8_t>(frame.begin() + 2, frame.end() - 1)
                  : std::vector<std::uint8_t>{};
    if (command != 0x4F)
        lastError_ = 0x00; // the status inquiry reports the error before it
    switch (command) {
    case 0x10:
        DeviceSelect(data);
        return;
    case 0x11:
        ClockModeSelect(data);
        return;
    case 0x3F:
        NewBitRate(data);
        return;
    case 0x40:
        Transition();
        return;
    case 0x60:
        IdCode(data);
        return;
    case 0x42:
        Refuse(command, 0x54, QStringLiteral("this part has no user boot area"));
        return;
    case 0x43:
        Ack();
        state_ = BootState::ProgramData;
        return;
    case 0x48:
        Ack();
        state_ = BootState::EraseBlocks;
        return;
    case 0x4C:
        Ack();
        return; // the user boot area does not exist, so it holds nothing
    case 0x4D:
        BlankCheck();
        return;
    case 0x50:
        ProgramPage(frame);
        return;
    case 0x52:
        MemoryRead(data);
        return;
    case 0x58:
        EraseByNumber(data);
        return;
    case 0x59:
        EraseByAddress(data);
        return;
    case 0x71:
    case 0x75:
    case 0x77:
    case 0x7A:
        LockBit(command, data);
        return;
    case 0x9D:
        Restart();
        return;
    case 0x9F:
        FlashCrc();
        return;
    default:
        Inquiry(command);
        return;
    }
}

void BootProgram::DeviceSelect(const std::vector<std::uint8_t>& data) {
    const char* code = DeviceCode(config_.kind);
    if (config_.faults.refuseDeviceSelect) {
        transcript_.Event("fault", QStringLiteral("device select refused"));
        Refuse(0x10, kDeviceCodeError, QStringLiteral("refused by fault injection"));
        return;
    }
    if (!std::equal(data.begin(), data.end(), code)) {
        Refuse(0x10, kDeviceCodeError, QStringLiteral("device code %1").arg(DumpText(data)));
        return;
    }
    Ack(IsRx231() ? 0x46 : 0x06);
    state_ = IsRx231() ? BootState::BitRateSelect : BootState::ClockModeSelect;
}

void BootProgram::ClockModeSelect(const std::vector<std::uint8_t>& data) {
    if (data[0] != 0x00) {
        Refuse(0x11, kClockModeError, QStringLiteral("clock mode %1").arg(data[0]));
        return;
    }
    Ack();
    state_ = BootState::BitRateSelect;
}

void BootProgram::NewBitRate(const std::vector<std::uint8_t>& data) {
    const int bps = Be16(data, 0) * 100;
    const int freq = Be16(data, 2); // 0.01 MHz
    const std::uint8_t ratio1 = data[5];
    const std::uint8_t ratio2 = data[6];
    if (bps != 9600 && bps != 19200 && bps != 38400 && bps != 57600 && bps != 115200) {
        Refuse(0x3F, kBitRateError, QStringLiteral("%1 bit/s").arg(bps));
        return;
    }
    // The RX231 kind runs from its own clock and takes no input frequency; the RX63x kind
    // needs an 8 to 14 MHz crystal.
    if (IsRx231() ? freq != 0 : (freq < 800 || freq > 1400)) {
        Refuse(0x3F, kInputFrequencyError, QStringLiteral("input clock %1").arg(freq));
        return;
    }
    if (data[4] != 2 || !IsRatio(ratio1) || !IsRatio(ratio2)) {
        Refuse(0x3F, kRatioError, QStringLiteral("ratios %1 %2").arg(ratio1).arg(ratio2));
        return;
    }
    if (!IsRx231() && (freq * ratio1 > 10000 || freq * ratio2 > 5000)) {
        Refuse(0x3F, kOperatingFrequencyError, QStringLiteral("operating frequency too high"));
        return;
    }
    Ack(); // still at the old rate
    listenBps_ = bps;
    state_ = BootState::Confirming;
    transcript_.Event("speed", QStringLiteral("boot program now at %1 bit/s").arg(bps));
}

void BootProgram::Transition() {
    if (!config_.idCode.isEmpty() || config_.faults.refuseIdCode) {
        Ack(kIdCodeRequired);
        state_ = BootState::IdCodeWait;
        return;
    }
    Ack(StateAck());
    state_ = BootState::CommandWait;
}

void BootProgram::IdCode(const std::vector<std::uint8_t>& data) {
    if (config_.faults.refuseIdCode) {
        transcript_.Event("fault", QStringLiteral("ID code refused"));
        Refuse(0x60, kIdCodeMismatch, QStringLiteral("refused by fault injection"));
        return;
    }
    if (config_.idCode.size() != 16 ||
        !std::equal(data.begin(), data.end(), config_.idCode.begin())) {
        Refuse(0x60, kIdCodeMismatch, QStringLiteral("ID code mismatch"));
        return;
    }
    Ack(StateAck());
    state_ = BootState::CommandWait;
}

} // namespace rwsim
