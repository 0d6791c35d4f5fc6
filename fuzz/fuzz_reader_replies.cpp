// The R/W firmware's replies to the tool's framed commands (operation-mode set, ROM and CHIP
// versions, program mode, sub-command 0x9D) and the version reading after a connection,
// through the link's real reply handling. Replies are judged by their byte count and fixed
// positions, never parsed as frames, so any bytes at all must be taken safely.
//
// Input: one selector byte (bits 0-2: the operation; bit 3: log the version read), then the
// device script (DeviceScript.h).
#include "FuzzCheck.h"
#include "LinkFuzzRig.h"
#include "SeedCorpus.h"
#include "core/link/ReaderFrame.h"
#include "core/link/TargetDevice.h"
#include "link/ReaderTexts.h"
#include "support/ReaderReplies.h"

#include <algorithm>
#include <memory>

namespace {

constexpr std::uint32_t kCommandMs = 4000;
constexpr std::uint32_t kProgModeMs = 1500;
constexpr std::size_t kAckLength = 7;
constexpr std::size_t kProgModeLength = 6;

struct VersionReply {
    std::size_t length;
    std::size_t offset;
};
constexpr VersionReply kRom{17, 5};
constexpr VersionReply kChip{18, 6};

bool Accepted(const ExchangeLog::Exchange& e, std::size_t length) {
    return e.received.size() >= length && e.received[2] == tessaly::kReaderReplyOk;
}

bool HoldsVersion(const ExchangeLog::Exchange& e, const VersionReply& reply,
                  const std::array<char, 10>& version) {
    return e.received.size() >= reply.length && version[9] == '\0' &&
           std::equal(version.begin(), version.begin() + 9,
                      e.received.begin() + static_cast<std::ptrdiff_t>(reply.offset),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

// A version is taken from a reply of the full length only, and shown as its nine characters.
void CheckVersion(LinkFuzzRig& rig, std::size_t exchange, int result, const VersionReply& reply,
                  const std::array<char, 10>& version, const QString& versionText,
                  const QString& prefix, bool logged) {
    const auto& e = rig.Exchange(exchange);
    FUZZ_CHECK(result == (e.received.size() >= reply.length ? 1 : 0));
    FUZZ_CHECK(rig.link.LastReplyOk == result);
    FUZZ_CHECK(versionText.size() == 9);
    if (result)
        FUZZ_CHECK(HoldsVersion(e, reply, version));
    FUZZ_CHECK(rig.log.Contains(prefix + versionText) == (result && logged));
}

// One request, one reply.
void CheckVersionRequest(LinkFuzzRig& rig, int result, const VersionReply& reply,
                         const std::array<char, 10>& version, const QString& versionText,
                         const QString& prefix, bool logged) {
    FUZZ_CHECK(rig.log.exchanges.size() == 1 && rig.ElapsedMs() <= kCommandMs);
    CheckVersion(rig, 0, result, reply, version, versionText, prefix, logged);
}

void CheckCommandAck(LinkFuzzRig& rig, int result) {
    FUZZ_CHECK(rig.log.exchanges.size() == 1 && rig.ElapsedMs() <= kCommandMs);
    FUZZ_CHECK(result == (Accepted(rig.Exchange(0), kAckLength) ? 1 : 0));
}

void CheckProgMode(LinkFuzzRig& rig) {
    // Whether the switch worked is only known from the boot mode that follows: always 1.
    FUZZ_CHECK(rig.link.SetProgMode() == 1);
    FUZZ_CHECK(rig.log.exchanges.size() == 1 && rig.ElapsedMs() <= kProgModeMs);
    const auto& e = rig.Exchange(0);
    const bool replied = e.received.size() >= kProgModeLength;
    FUZZ_CHECK(rig.link.LastReplyOk == (replied ? 1 : 0));
    FUZZ_CHECK(rig.log.Contains(ReaderTexts::kTimeOver) == !replied);
    FUZZ_CHECK(rig.log.Contains(ReaderTexts::kAckReceived) ==
               (replied && Accepted(e, kProgModeLength)));
    FUZZ_CHECK(rig.log.Contains(ReaderTexts::kError) == (replied && !Accepted(e, kProgModeLength)));
}

// Two operation-mode sets (only the second counts) and the ROM version.
void CheckFindReader(LinkFuzzRig& rig) {
    const int result = rig.link.CheckReader();
    const auto& exchanges = rig.log.exchanges;
    FUZZ_CHECK(rig.ElapsedMs() <= 3 * kCommandMs);
    const bool second = Accepted(rig.Exchange(1), kAckLength);
    FUZZ_CHECK(exchanges.size() == (second ? 3u : 2u));
    if (!second) {
        FUZZ_CHECK(result == 0);
        return;
    }
    CheckVersion(rig, 2, result, kRom, rig.link.RomVersion, rig.link.RomVersionText(),
                 ReaderTexts::kRomVersion, true);
}

// After a connection: the ROM version, and the CHIP version only when the ROM answered.
void CheckAfterConnect(LinkFuzzRig& rig) {
    rig.link.AfterConnect();
    const auto& exchanges = rig.log.exchanges;
    const bool rom = rig.Exchange(0).received.size() >= kRom.length;
    FUZZ_CHECK(exchanges.size() == (rom ? 2u : 1u) && rig.ElapsedMs() <= 2 * kCommandMs);
    FUZZ_CHECK(rig.link.ReaderFound == (rom ? 1 : 0));
    if (!rom) {
        FUZZ_CHECK(rig.link.ChipAnswered == 1 && rig.link.StatusText == ReaderTexts::kNotFound);
        return;
    }
    FUZZ_CHECK(HoldsVersion(rig.Exchange(0), kRom, rig.link.RomVersion));
    CheckVersion(rig, 1, rig.link.ChipAnswered, kChip, rig.link.ChipVersion,
                 rig.link.ChipVersionText(), ReaderTexts::kChipVersion, true);
}

constexpr std::uint8_t kLogBit = 0x08;

enum Operation : std::uint8_t {
    kDousaModeSetOp,
    kSubCommandOp,
    kRomVersionOp,
    kChipVersionOp,
    kProgModeOp,
    kCheckReaderOp,
    kAfterConnectOp,
    kOperations
};

std::unique_ptr<LinkFuzzRig> MakeRig(std::uint8_t) {
    return std::make_unique<LinkFuzzRig>(tessaly::kKindRx231, kFuzzRomSizeCode);
}

void Run(LinkFuzzRig& rig, std::uint8_t selector) {
    const bool logIt = (selector & kLogBit) != 0;
    TFlashWrRXCont& link = rig.link;
    switch ((selector & 0x07) % kOperations) {
    case kDousaModeSetOp:
        CheckCommandAck(rig, link.DousaModeSet(0, 0, 0, 8, 0));
        break;
    case kSubCommandOp:
        CheckCommandAck(rig, link.SendSubCommand9D());
        break;
    case kRomVersionOp:
        CheckVersionRequest(rig, link.GetRomVersion(logIt), kRom, link.RomVersion,
                            link.RomVersionText(), ReaderTexts::kRomVersion, logIt);
        break;
    case kChipVersionOp:
        CheckVersionRequest(rig, link.GetChipVersion(logIt), kChip, link.ChipVersion,
                            link.ChipVersionText(), ReaderTexts::kChipVersion, logIt);
        break;
    case kProgModeOp:
        CheckProgMode(rig);
        break;
    case kCheckReaderOp:
        CheckFindReader(rig);
        break;
    default:
        CheckAfterConnect(rig);
        break;
    }
}

std::vector<SeedCase> Seeds() {
    const auto silentChip = [](rwsim::SimConfig& c) { c.faults.silentChip = true; };
    return {
        {"operation-mode", kDousaModeSetOp, BootLevel::Firmware},
        {"sub-command-9d", kSubCommandOp, BootLevel::Firmware},
        {"rom-version", kRomVersionOp | kLogBit, BootLevel::Firmware},
        {"chip-version", kChipVersionOp | kLogBit, BootLevel::Firmware},
        {"chip-silent", kChipVersionOp, BootLevel::Firmware, silentChip},
        {"program-mode", kProgModeOp, BootLevel::Firmware},
        {"find-reader", kCheckReaderOp, BootLevel::Firmware},
        {"after-connect", kAfterConnectOp, BootLevel::Firmware},
        {"after-connect-chip-silent", kAfterConnectOp, BootLevel::Firmware, silentChip},
        // A R/W already in boot mode takes none of these frames.
        {"find-reader-in-boot-mode", kCheckReaderOp, BootLevel::Matching},
    };
}

// The refusal the tests' R/W stand-in sends.
std::vector<ScriptedSeed> ScriptedSeeds() {
    const DeviceAnswer refused{{1, ReaderReplies::Nack()}};
    return {
        {"operation-mode-refused", kDousaModeSetOp, {refused}},
        {"program-mode-refused", kProgModeOp, {refused}},
    };
}

const DeviceTarget kTarget{MakeRig, Run};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartFuzzProcess(argc, argv);
    WriteSeedsIfAsked(kTarget, Seeds(), ScriptedSeeds());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunDeviceInput(kTarget, data, size);
    return 0;
}
