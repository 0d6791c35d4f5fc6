// The R/W's framed commands: operation-mode set, ROM and CHIP versions, program mode and
// sub-command 0x9D. Replies are judged by byte count and fixed positions only.
#include "core/link/ByteDump.h"
#include "core/link/ReaderFrame.h"
#include "link/ReaderTexts.h"
#include "link/TFlashWrRXCont.h"

#include <vector>

namespace {

constexpr std::uint32_t kCommandLimitMs = 4000;
constexpr std::uint32_t kProgModeLimitMs = 1500;

constexpr int kAckReplyLength = 7;
constexpr int kRomReplyLength = 17;
constexpr int kRomVersionOffset = 5;
constexpr int kChipReplyLength = 18;
constexpr int kChipVersionOffset = 6;
constexpr int kProgModeReplyLength = 6;
constexpr int kVersionLength = 9;

constexpr std::uint8_t kVersionRequestData[] = {0x90, 0x00};
constexpr std::uint8_t kSubCommand9DData[] = {0x9D};

QString Dump(const std::vector<std::uint8_t>& bytes) {
    return QString::fromStdString(tessaly::ByteDump(bytes));
}

// Sends a frame and waits for `replyLength` bytes on a freshly started stopwatch.
bool Exchange(TFlashWrRXCont& link, const std::vector<std::uint8_t>& frame, int replyLength,
              std::uint32_t limitMs) {
    link.SendBytes(frame.data(), static_cast<int>(frame.size()));
    link.StartTickTimer();
    return link.WaitForRxCount(replyLength, limitMs);
}

// Takes the first three reply bytes: the third says whether the R/W accepted the command.
bool TakeAcknowledge(TFlashWrRXCont& link) {
    link.ReadRxByte();
    link.ReadRxByte();
    return link.ReadRxByte() == tessaly::kReaderReplyOk;
}

// Skips `offset` reply bytes and copies the next nine into `version`, zero-terminated.
void TakeVersion(TFlashWrRXCont& link, int offset, std::array<char, 10>& version) {
    for (int i = 0; i < offset; ++i)
        link.ReadRxByte();
    for (int i = 0; i < kVersionLength; ++i)
        version[static_cast<std::size_t>(i)] = static_cast<char>(link.ReadRxByte());
    version[kVersionLength] = '\0';
}

// The ROM and CHIP version requests differ only in these.
struct VersionRequest {
    std::uint8_t letter;
    const QString& requestLine;
    int replyLength;
    int versionOffset;
    const QString& resultPrefix;
};

// Asks for a version and stores its nine characters; the request dump is shown whenever
// transmit dumps are on, the result line only when `logIt`.
int ReadVersion(TFlashWrRXCont& link, const VersionRequest& request, std::array<char, 10>& version,
                bool logIt) {
    const auto frame = tessaly::BuildReaderFrame(request.letter, kVersionRequestData);
    if (link.fDispTxInfo) {
        link.AddLog(request.requestLine, 0);
        link.AddLog(Dump(frame), 1);
    }
    if (!Exchange(link, frame, request.replyLength, kCommandLimitMs)) {
        link.AddLog(ReaderTexts::kTimeOver, 0);
        link.LastReplyOk = 0;
        return 0;
    }
    TakeVersion(link, request.versionOffset, version);
    if (logIt)
        link.AddLog(request.resultPrefix + QString::fromLatin1(version.data(), kVersionLength), 1);
    link.LastReplyOk = 1;
    return 1;
}

} // namespace

int TFlashWrRXCont::DousaModeSet(int flag, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                                 std::uint16_t p4) {
    const auto frame = tessaly::BuildReaderFrame(tessaly::kLetterN,
                                                 tessaly::DousaModeData(flag != 0, p1, p2, p3, p4));
    if (fDispTxInfo) {
        AddLog(ReaderTexts::kDousaModeSet, 0);
        AddLog(Dump(frame), 0);
    }
    if (!Exchange(*this, frame, kAckReplyLength, kCommandLimitMs))
        return 0;
    return TakeAcknowledge(*this) ? 1 : 0;
}

int TFlashWrRXCont::CheckReader() {
    if (!IsConnected())
        return 0;
    // The first set after connecting may meet a R/W still busy with the connection; only the
    // second one counts.
    DousaModeSet(0, 0, 0, 8, 0);
    if (DousaModeSet(0, 0, 0, 8, 0) != 1)
        return 0;
    return GetRomVersion(1);
}

int TFlashWrRXCont::GetRomVersion(int logIt) {
    return ReadVersion(*this,
                       {tessaly::kLetterO, ReaderTexts::kRomVersionRequest, kRomReplyLength,
                        kRomVersionOffset, ReaderTexts::kRomVersion},
                       RomVersion, logIt != 0);
}

int TFlashWrRXCont::GetChipVersion(int logIt) {
    return ReadVersion(*this,
                       {tessaly::kLetterU, ReaderTexts::kChipVersionRequest, kChipReplyLength,
                        kChipVersionOffset, ReaderTexts::kChipVersion},
                       ChipVersion, logIt != 0);
}

int TFlashWrRXCont::SetProgMode() {
    FlushRx();
    const auto frame = tessaly::BuildReaderFrame(tessaly::kLetterN, tessaly::ProgModeData());
    if (fDispTxInfo) {
        AddLog(ReaderTexts::kProgMode, 0);
        AddLog(Dump(frame), 0);
    }
    if (Exchange(*this, frame, kProgModeReplyLength, kProgModeLimitMs)) {
        const bool accepted = TakeAcknowledge(*this);
        for (int i = 3; i < kProgModeReplyLength; ++i)
            ReadRxByte();
        AddLog(accepted ? ReaderTexts::kAckReceived : ReaderTexts::kError, 0);
        LastReplyOk = 1;
    } else {
        AddLog(ReaderTexts::kTimeOver, 0);
        LastReplyOk = 0;
    }
    // Whether the switch took place is decided by the boot-mode bit-rate matching that follows,
    // not by this reply.
    return 1;
}

int TFlashWrRXCont::SendSubCommand9D() {
    const auto frame = tessaly::BuildReaderFrame(tessaly::kLetterN, kSubCommand9DData);
    if (!Exchange(*this, frame, kAckReplyLength, kCommandLimitMs))
        return 0;
    return TakeAcknowledge(*this) ? 1 : 0;
}
