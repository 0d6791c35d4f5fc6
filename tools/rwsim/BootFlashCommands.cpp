#include "rwsim/BootProgram.h"

#include "rwsim/DeviceCrc.h"
#include "rwsim/EraseBlocks.h"
#include "rwsim/FlashModel.h"
#include "rwsim/Transcript.h"

// The boot program's flash commands: blank check, erasure, programming, CRC, memory read,
// lock bits and the restart.

namespace rwsim {

namespace {

constexpr std::uint8_t kBlockNumberError = 0x29;
constexpr std::uint8_t kAddressError = 0x2A;
constexpr std::uint8_t kErasureError = 0x51;
constexpr std::uint8_t kUnerasedError = 0x52;
constexpr std::uint8_t kProgrammingError = 0x53;
constexpr std::uint8_t kLockStatusRefused = 0xF1;
constexpr std::uint8_t kUnlocked = 0x40;

constexpr std::uint32_t kPageSize = 256;
constexpr std::uint32_t kEndAddress = 0xFFFFFFFFu;
constexpr std::uint32_t kCrcEnd = 0xFFFFBFFFu; // the top 16 KB hold the R/W's own settings
constexpr std::uint8_t kUserArea = 0x01;

std::uint32_t Be32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return std::uint32_t(d[at]) << 24 | std::uint32_t(d[at + 1]) << 16 |
           std::uint32_t(d[at + 2]) << 8 | d[at + 3];
}

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
}

QString Address(std::uint32_t a) {
    return QStringLiteral("0x") + HexText(a, 8);
}

} // namespace

void BootProgram::BlankCheck() {
    if (flash_.IsBlank())
        Ack();
    else
        Refuse(0x4D, kUnerasedError, QStringLiteral("user area is not blank"));
}

void BootProgram::EraseByAddress(const std::vector<std::uint8_t>& data) {
    const std::uint32_t address = Be32(data, 0);
    if (address == kEndAddress) {
        Ack();
        state_ = BootState::CommandWait;
        return;
    }
    if (address % kRx231BlockSize != 0 || !flash_.Contains(address, kRx231BlockSize)) {
        Refuse(0x59, kAddressError, QStringLiteral("no block starts at %1").arg(Address(address)));
        return;
    }
    if (EraseFaultStrikes(0x59))
        return;
    flash_.Erase(address, kRx231BlockSize);
    Ack(0x06, int(std::int64_t(config_.blockEraseUsPer4K) * kRx231BlockSize / 4096));
}

void BootProgram::EraseByNumber(const std::vector<std::uint8_t>& data) {
    const std::uint8_t number = data[0];
    if (number == 0xFF) {
        Ack();
        state_ = BootState::CommandWait;
        return;
    }
    const auto block = Rx63xBlock(number);
    if (!block || !flash_.Contains(block->first, block->size)) {
        Refuse(0x58, kBlockNumberError, QStringLiteral("no block %1 on this part").arg(number));
        return;
    }
    if (EraseFaultStrikes(0x58))
        return;
    flash_.Erase(block->first, block->size);
    Ack(0x06, int(std::int64_t(config_.blockEraseUsPer4K) * block->size / 4096));
}

bool BootProgram::EraseFaultStrikes(std::uint8_t command) {
    ++eraseFrames_;
    if (eraseFrames_ == config_.faults.refuseEraseBlock) {
        transcript_.Event("fault", QStringLiteral("block erasure %1 refused").arg(eraseFrames_));
        Refuse(command, kErasureError, QStringLiteral("refused by fault injection"));
        return true;
    }
    if (!powerLost_ && eraseFrames_ == config_.faults.dropDuringErase) {
        powerLost_ = true;
        // The blocks before this one are erased, this one and the rest keep their contents.
        transcript_.Event("fault",
                          QStringLiteral("power lost during block erasure %1").arg(eraseFrames_));
        hooks_.powerLoss();
        return true;
    }
    return false;
}

void BootProgram::ProgramPage(const std::vector<std::uint8_t>& frame) {
    const std::uint32_t address = Be32(frame, 1);
    if (address == kEndAddress) {
        programmed_ = pagesThisSession_ > 0;
        Ack();
        state_ = BootState::CommandWait;
        transcript_.Event(
            "boot", QStringLiteral("programming ended after %1 page(s)").arg(pagesThisSession_));
        return;
    }
    ++pageFrames_;
    if (address % kPageSize != 0 || !flash_.Contains(address, kPageSize)) {
        Refuse(0x50, kAddressError, QStringLiteral("page at %1").arg(Address(address)));
        return;
    }
    if (!flash_.IsErased(address, kPageSize)) {
        Refuse(0x50, kProgrammingError,
               QStringLiteral("page at %1 is not erased").arg(Address(address)));
        return;
    }
    if (pageFrames_ == config_.faults.refusePage) {
        transcript_.Event("fault", QStringLiteral("page %1 refused").arg(pageFrames_));
        Refuse(0x50, kProgrammingError, QStringLiteral("refused by fault injection"));
        return;
    }
    flash_.Program(address, std::span(frame).subspan(5, kPageSize));
    ++pagesThisSession_;
    if (!powerLost_ && pageFrames_ == config_.faults.dropAfterPages) {
        powerLost_ = true;
        transcript_.Event("fault", QStringLiteral("power lost after page %1 at %2")
                                       .arg(pageFrames_)
                                       .arg(Address(address)));
        hooks_.powerLoss();
        return;
    }
    Ack(0x06, config_.pageProgramUs);
}

void BootProgram::FlashCrc() {
    const std::uint32_t base = flash_.Base();
    std::uint16_t crc =
        base <= kCrcEnd ? DeviceCrc16(flash_.Read(base, std::uint64_t(kCrcEnd) - base + 1)) : 0;
    if (config_.faults.wrongCrc) {
        crc = std::uint16_t(crc ^ 0xFFFF);
        transcript_.Event("fault", QStringLiteral("wrong CRC sent"));
    }
    hooks_.send({0x9F, std::uint8_t(crc >> 8), std::uint8_t(crc)}, 0);
}

void BootProgram::MemoryRead(const std::vector<std::uint8_t>& data) {
    const std::uint32_t address = Be32(data, 1);
    const std::uint32_t size = Be32(data, 5);
    if (data[0] != kUserArea || size == 0 || !flash_.Contains(address, size)) {
        Refuse(0x52, kAddressError,
               QStringLiteral("read of %1 bytes at %2").arg(size).arg(Address(address)));
        return;
    }
    std::vector<std::uint8_t> reply{0x52};
    PutBe32(reply, size);
    const auto bytes = flash_.Read(address, size);
    reply.insert(reply.end(), bytes.begin(), bytes.end());
    reply.push_back(Sum(reply, reply.size()));
    hooks_.send(std::move(reply), 0);
}

void BootProgram::LockBit(std::uint8_t command, const std::vector<std::uint8_t>& data) {
    // Lock bits are not modelled: every block reads as unlocked and programming one is
    // accepted without effect. The address is checked all the same.
    if (command == 0x71 || command == 0x77) {
        const std::uint32_t address = 0xFF000000u | (Be32(data, 0) & 0x00FFFFFFu);
        if (data[0] != kUserArea || !flash_.Contains(address, 1)) {
            if (command == 0x71) {
                lastError_ = kAddressError;
                hooks_.send({kLockStatusRefused, kAddressError}, 0);
            } else {
                Refuse(command, kAddressError,
                       QStringLiteral("lock bit at %1").arg(Address(address)));
            }
            return;
        }
        Ack(command == 0x71 ? kUnlocked : 0x06);
        return;
    }
    Ack();
}

void BootProgram::Restart() {
    Ack(0x9D);
    transcript_.Event("mode", programmed_ ? QStringLiteral("restart after programming")
                                          : QStringLiteral("restart"));
    hooks_.restart(programmed_);
}

} // namespace rwsim
