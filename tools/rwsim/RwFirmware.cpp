#include "rwsim/RwFirmware.h"

#include "rwsim/Transcript.h"

#include <numeric>

namespace rwsim {

namespace {

constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kOk = 0x30;   // '0' in byte 2 of a reply: accepted
constexpr std::uint8_t kNak = 0x15;  // anything else in byte 2 means refused
constexpr std::size_t kOverhead = 7; // STX, 00, letter, L, ETX, sum, CR

constexpr std::uint8_t kVersionRequest[] = {0x90, 0x00};
constexpr std::uint8_t kProgramMode = 0x9B;
constexpr std::uint8_t kSubCommand9D = 0x9D;
constexpr char kAccessCode[] = "480215379";

std::vector<std::uint8_t> WithVersion(std::vector<std::uint8_t> lead, const QByteArray& text) {
    lead.insert(lead.end(), text.begin(), text.end());
    return lead;
}

bool IsVersionRequest(const std::vector<std::uint8_t>& data) {
    return data.size() == 2 && data[0] == kVersionRequest[0] && data[1] == kVersionRequest[1];
}

} // namespace

RwFirmware::RwFirmware(Transcript& transcript, FirmwareVersions& versions, bool chipFollowsRom,
                       const bool& silentRom, const bool& silentChip, Hooks hooks)
    : transcript_(transcript), versions_(versions), chipFollowsRom_(chipFollowsRom),
      silentRom_(silentRom), silentChip_(silentChip), hooks_(std::move(hooks)) {}

std::uint8_t RwFirmware::FrameSum(const std::vector<std::uint8_t>& frame, std::size_t count) {
    return std::uint8_t(std::accumulate(frame.begin(), frame.begin() + std::ptrdiff_t(count), 0u));
}

std::vector<std::uint8_t> RwFirmware::Frame(std::uint8_t letter,
                                            const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> frame{kStx, 0x00, letter, std::uint8_t(data.size())};
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(kEtx);
    frame.push_back(FrameSum(frame, frame.size()));
    frame.push_back(kCr);
    return frame;
}

void RwFirmware::Receive(std::uint8_t byte) {
    if (frame_.empty() && byte != kStx) {
        transcript_.Event("firmware",
                          QStringLiteral("stray byte %1 outside a frame").arg(HexText(byte, 2)));
        return;
    }
    frame_.push_back(byte);
    if (frame_.size() < 4 || frame_.size() < frame_[3] + kOverhead)
        return;
    std::vector<std::uint8_t> frame;
    frame.swap(frame_);
    const std::size_t length = frame[3];
    if (frame[1] != 0x00 || frame[4 + length] != kEtx || frame[6 + length] != kCr) {
        Refuse(QStringLiteral("malformed frame"));
        return;
    }
    if (FrameSum(frame, 5 + length) != frame[5 + length]) {
        Refuse(QStringLiteral("checksum error"));
        return;
    }
    Handle(frame[2], {frame.begin() + 4, frame.begin() + 4 + std::ptrdiff_t(length)});
}

void RwFirmware::Handle(std::uint8_t letter, const std::vector<std::uint8_t>& data) {
    switch (letter) {
    case 'N':
        HandleN(data);
        return;
    case 'O':
        if (!IsVersionRequest(data))
            break;
        if (silentRom_) {
            transcript_.Event("fault", QStringLiteral("ROM version request left unanswered"));
            return;
        }
        hooks_.send(Frame(kOk, WithVersion({0x90}, versions_.rom)));
        return;
    case 'U':
        if (!IsVersionRequest(data))
            break;
        if (silentChip_) {
            transcript_.Event("fault", QStringLiteral("CHIP version request left unanswered"));
            return;
        }
        hooks_.send(Frame(kOk, WithVersion({0x90, 0x00}, versions_.chip)));
        return;
    default:
        break;
    }
    Refuse(QStringLiteral("unknown command"));
}

void RwFirmware::HandleN(const std::vector<std::uint8_t>& data) {
    if (data.size() == 7 && (data[0] == 0x00 || data[0] == 0x10)) {
        Acknowledge(); // operation-mode set
        return;
    }
    if (data.size() == 10 && data[0] == kProgramMode) {
        if (!std::equal(data.begin() + 1, data.end(), kAccessCode)) {
            Refuse(QStringLiteral("wrong access code"));
            return;
        }
        Acknowledge();
        transcript_.Event("mode", QStringLiteral("program mode: restart into the boot program"));
        hooks_.enterBootProgram();
        return;
    }
    if (data.size() == 1 && data[0] == kSubCommand9D) {
        Acknowledge();
        if (chipFollowsRom_) {
            versions_.chip = versions_.rom;
            transcript_.Event(
                "chip",
                QStringLiteral("CHIP version now %1").arg(QString::fromLatin1(versions_.chip)));
        }
        return;
    }
    Refuse(QStringLiteral("unknown sub-command"));
}

void RwFirmware::Acknowledge() {
    hooks_.send(Frame(kOk, {}));
}

void RwFirmware::Refuse(const QString& why) {
    transcript_.Event("refused", QStringLiteral("firmware: %1").arg(why));
    hooks_.send(Frame(kNak, {}));
}

} // namespace rwsim
