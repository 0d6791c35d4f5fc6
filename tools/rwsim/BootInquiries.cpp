#include "rwsim/BootProgram.h"

#include "rwsim/FlashModel.h"

// The boot program's inquiries: what the part is and what it can do, each answered as
// reply code, size, data, sum.

namespace rwsim {

namespace {

constexpr std::uint32_t kDataAreaFirst = 0x00100000u;

void PutBe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(std::uint8_t(value >> 8));
    out.push_back(std::uint8_t(value));
}

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
}

const char* ProductName(McuKind kind) {
    switch (kind) {
    case McuKind::Rx231:
        return "8a02RX231";
    case McuKind::Rx630:
        return "7505RX630";
    case McuKind::Rx63T:
        return "7n05RX63T";
    }
    return "";
}

} // namespace

void BootProgram::InquiryReply(std::uint8_t code, std::vector<std::uint8_t> data) {
    std::vector<std::uint8_t> reply{code, std::uint8_t(data.size())};
    reply.insert(reply.end(), data.begin(), data.end());
    reply.push_back(Sum(reply, reply.size()));
    hooks_.send(std::move(reply), 0);
}

void BootProgram::Inquiry(std::uint8_t command) {
    const std::uint32_t dataAreaSize = IsRx231() ? 0x2000 : 0x8000;
    std::vector<std::uint8_t> data;
    switch (command) {
    case 0x20: { // supported devices: one, its code followed by its name
        const std::string entry = ProductName(config_.kind);
        data = {1, std::uint8_t(entry.size())};
        data.insert(data.end(), entry.begin(), entry.end());
        break;
    }
    case 0x21:
        data = {0x00};
        break; // one clock mode
    case 0x22:
        data = {2, 4, 1, 2, 4, 8, 4, 1, 2, 4, 8};
        break; // two clocks, ratios 1-8
    case 0x23: // two clocks: system 8-100 MHz, peripheral 8-50 MHz
        data = {2};
        PutBe16(data, 800);
        PutBe16(data, 10000);
        PutBe16(data, 800);
        PutBe16(data, 5000);
        break;
    case 0x24:
        data = {0};
        break; // no user boot area
    case 0x25:
        data = {1};
        PutBe32(data, flash_.Base());
        PutBe32(data, FlashModel::kEnd);
        break;
    case 0x27:
        PutBe16(data, 256);
        break;
    case 0x2A:
        data = {0x21};
        break; // a data area exists
    case 0x2B:
        data = {1};
        PutBe32(data, kDataAreaFirst);
        PutBe32(data, kDataAreaFirst + dataAreaSize - 1);
        break;
    case 0x4A:
        PutBe32(data, 0);
        break; // the absent user boot area sums to nothing
    case 0x4B:
        PutBe32(data, flash_.Sum());
        break;
    case 0x4F: {
        // Waiting for the ID code still counts as waiting for the transition.
        const BootState shown =
            state_ == BootState::IdCodeWait ? BootState::TransitionWait : state_;
        data = {std::uint8_t(shown), lastError_};
        break;
    }
    case 0x61:
        PutBe32(data, dataAreaSize * 0xFFu);
        break; // an erased data area
    default:
        Refuse(command, 0x80, QStringLiteral("unknown command"));
        return;
    }
    InquiryReply(std::uint8_t(command + 0x10), std::move(data));
}

} // namespace rwsim
