// The boot program's answers to commands: acknowledgements and refusals with their error code,
// the lock-bit status, the long memory-read reply, the flash CRC, the state transition, the
// bit-rate matching, and the erase and programming loops, through the link's real readers.
//
// Input: one selector byte (bits 0-4: the operation; bit 5: RX63x instead of RX231; bit 6:
// the R/W was switched into program mode), then the device script (DeviceScript.h).
#include "FuzzCheck.h"
#include "LinkFuzzRig.h"
#include "SeedCorpus.h"
#include "boot/BootLogTexts.h"
#include "core/boot/BootFrames.h"
#include "core/boot/BootIdCodes.h"
#include "core/link/ByteDump.h"
#include "core/link/TargetDevice.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

using Bytes = std::span<const std::uint8_t>;
namespace Cmd = tessaly::BootCmd;

constexpr std::uint32_t kReplyMs = TFlashWrRXCont::kBootReplyMs;
constexpr std::uint32_t kDataReplyMs = TFlashWrRXCont::kBootDataReplyMs;
constexpr std::size_t kMaxDataReply = 1280;

struct Target {
    bool rx231;
    int cpuProg;
};

std::uint32_t BigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t n) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < n; ++i)
        value = (value << 8) | bytes[at + i];
    return value;
}

bool Acked(const ExchangeLog::Exchange& exchange, std::uint8_t expected) {
    return ByteAt(exchange.received, 0) == expected;
}

QString ErrorCodeLine(std::uint8_t code) {
    return QString::fromUtf8(BootLog::kErrorCode) +
           QString::fromStdString(tessaly::HexDigits(code, 2));
}

// One command, one acknowledgement: accepted exactly when the first byte back is the expected
// one; after any other first byte the error code that follows is logged.
void CheckAck(LinkFuzzRig& rig, int result, std::uint8_t expected) {
    FUZZ_CHECK(rig.log.exchanges.size() == 1 && rig.ElapsedMs() <= kReplyMs);
    const auto& rx = rig.Exchange(0).received;
    FUZZ_CHECK(result == (Acked(rig.Exchange(0), expected) ? 1 : 0));
    if (!result && rx.size() >= 2)
        FUZZ_CHECK(rig.log.Contains(ErrorCodeLine(rx[1])));
    if (result || rx.size() < 2)
        FUZZ_CHECK(rig.log.lines.filter(QString::fromUtf8(BootLog::kErrorCode)).isEmpty());
}

void RunAck(LinkFuzzRig& rig, int which, const Target& t) {
    TFlashWrRXCont& link = rig.link;
    const std::uint8_t ack = tessaly::kBootAck;
    const std::uint8_t idAccepted = t.rx231 ? ack : tessaly::kBootStateReady63x;
    int result = 0;
    std::uint8_t expected = ack;
    switch (which) {
    case 0:
        result = link.DeviceSelect(link.DeviceCode);
        expected = t.rx231 ? 0x46 : ack;
        break;
    case 1:
        result = link.SelectClockMode(0);
        break;
    case 2:
        result = link.UserBootBlankCheck();
        break;
    case 3:
        result = link.UserAreaBlankCheck();
        break;
    case 4:
        result = link.Write256Bytes(link.RomImageBase, link.PageBuf);
        break;
    case 5:
        result = link.BlockErase(3);
        break;
    case 6:
        result = link.BlockEraseAddr(0xFFFFF800u);
        break;
    case 7:
        result = link.IDCodeCheck(tessaly::IdCodeA);
        expected = idAccepted;
        break;
    case 8:
        result = link.DisaLockBit();
        break;
    case 9:
        result = link.ProgLockBit(0xFFFEFFFFu);
        break;
    case 10:
        result = link.EnLockBit();
        break;
    case 11:
        result = link.BootRestart();
        expected = Cmd::Restart;
        break;
    case 12:
        result = link.SelUserBootArea();
        break;
    case 13:
        result = link.SelUserArea();
        break;
    default:
        result = link.SelErase();
        break;
    }
    CheckAck(rig, result, expected);
}
constexpr int kAckOperations = 15;

void CheckLockBitStatus(LinkFuzzRig& rig) {
    std::uint8_t status = 0x5A;
    const int result = rig.link.ReadLockBitStatus(0xFFFEFFFFu, status);
    FUZZ_CHECK(rig.log.exchanges.size() == 1 && rig.ElapsedMs() <= kReplyMs);
    const auto& rx = rig.Exchange(0).received;
    FUZZ_CHECK(result == (!rx.empty() && rx[0] != tessaly::kBootStatusError ? 1 : 0));
    if (result)
        FUZZ_CHECK(status == rx[0]);
    if (!result && rx.size() >= 2)
        FUZZ_CHECK(status == rx[1] && rig.log.Contains(ErrorCodeLine(rx[1])));
}

// The long reply: code, a four-byte size, the data and a sum. A size larger than the buffer is
// refused before a byte is read; a reply taken is the device's bytes, unchanged.
void CheckMemRead(LinkFuzzRig& rig, const Target& t) {
    rig.link.ReplyBuf.fill(0xA5);
    const int result = rig.link.MemRead(1, rig.link.RomImageBase, 256, t.cpuProg);
    FUZZ_CHECK(rig.log.exchanges.size() == 1 && rig.ElapsedMs() <= kDataReplyMs);
    const auto& rx = rig.Exchange(0).received;
    const auto& buf = rig.link.ReplyBuf;
    const bool headed = rx.size() >= 5 && rx[0] == Cmd::MemRead;
    const std::size_t total = headed ? std::size_t{BigEndian(rx, 1, 4)} + 6 : 0;
    const bool whole = headed && total <= kMaxDataReply && rx.size() >= total;
    const bool sumRight = whole && tessaly::BootSum(Bytes(rx.data(), total - 1)) == rx[total - 1];
    FUZZ_CHECK(result == (sumRight ? 1 : 0));
    if (whole)
        FUZZ_CHECK(
            std::equal(rx.begin(), rx.begin() + static_cast<std::ptrdiff_t>(total), buf.begin()));
    else
        FUZZ_CHECK(std::all_of(buf.begin(), buf.end(), [](std::uint8_t b) { return b == 0xA5; }));
}

void CheckFlashCrc(LinkFuzzRig& rig, bool compare) {
    std::uint16_t crc = 0;
    const int result = compare ? rig.link.BootCrcCheck() : rig.link.GetFlashCrc(crc);
    FUZZ_CHECK(rig.log.exchanges.size() == 1 && rig.ElapsedMs() <= kReplyMs);
    const auto& rx = rig.Exchange(0).received;
    const bool read = rx.size() >= 3 && rx[0] == Cmd::GetFlashCrc;
    const std::uint16_t reported = read ? static_cast<std::uint16_t>(BigEndian(rx, 1, 2)) : 0;
    if (!compare) {
        FUZZ_CHECK(result == (read ? 1 : 0) && (!read || crc == reported));
        return;
    }
    FUZZ_CHECK(result == (read && reported == rig.link.ComputeRomImageCrc() ? 1 : 0));
    FUZZ_CHECK(rig.log.Contains(QString::fromUtf8(BootLog::kCrcData) +
                                QString::fromStdString(tessaly::HexDigits(reported, 4))) == read);
}

void CheckStateTransition(LinkFuzzRig& rig, const Target& t) {
    std::uint8_t state = 0x5A;
    const int result = rig.link.EraseStatusSet(state);
    FUZZ_CHECK(rig.log.exchanges.size() == 1 && rig.ElapsedMs() <= kReplyMs);
    const int first = ByteAt(rig.Exchange(0).received, 0);
    const int ready = t.rx231 ? tessaly::kBootStateReady231 : tessaly::kBootStateReady63x;
    FUZZ_CHECK(state == (first < 0 ? 0 : first));
    FUZZ_CHECK(result == (first == ready || first == tessaly::kBootStateNeedsIdCode ? 1 : 0));
}

// The transition, then the ID codes when one is asked for: the code for how the R/W got into
// boot mode first, the other one after a refusal.
void CheckIdCheck(LinkFuzzRig& rig, const Target& t) {
    const int result = rig.link.BootIdCheck(t.cpuProg);
    const auto& exchanges = rig.log.exchanges;
    FUZZ_CHECK(!exchanges.empty() && exchanges.size() <= 3 && rig.ElapsedMs() <= 3 * kReplyMs);
    const int first = ByteAt(exchanges[0].received, 0);
    const int ready = t.rx231 ? tessaly::kBootStateReady231 : tessaly::kBootStateReady63x;
    const std::uint8_t idAccepted = t.rx231 ? tessaly::kBootAck : tessaly::kBootStateReady63x;
    bool expected = first == ready;
    if (first == tessaly::kBootStateNeedsIdCode) {
        const auto& codeFirst = t.cpuProg ? tessaly::IdCodeA : tessaly::IdCodeB;
        FUZZ_CHECK(exchanges.size() >= 2 && exchanges[1].sent == tessaly::IdCodeFrame(codeFirst));
        expected = std::any_of(exchanges.begin() + 1, exchanges.end(),
                               [&](const auto& e) { return Acked(e, idAccepted); });
    } else {
        FUZZ_CHECK(exchanges.size() == 1);
    }
    FUZZ_CHECK(result == (expected ? 1 : 0));
    FUZZ_CHECK(rig.log.Contains(QString::fromUtf8(BootLog::kIdCheckFailed)) == !result);
}

// Zeros until the microcontroller answers the last one sent, then 0x55, taken by 0xE6 only.
void CheckBitRateMatch(LinkFuzzRig& rig, const Target& t) {
    rig.link.fCpuProg = t.cpuProg;
    const int result = rig.link.BitRateMatch();
    const auto& exchanges = rig.log.exchanges;
    FUZZ_CHECK(!exchanges.empty() && exchanges.size() <= 31);
    FUZZ_CHECK(rig.ElapsedMs() <= 100 + 30 * 100 + kReplyMs);
    const bool confirmed = exchanges.back().sent == std::vector<std::uint8_t>{0x55};
    for (std::size_t i = 0; i + (confirmed ? 1 : 0) < exchanges.size(); ++i)
        FUZZ_CHECK(exchanges[i].sent == std::vector<std::uint8_t>{0x00});
    if (confirmed)
        FUZZ_CHECK(!exchanges[exchanges.size() - 2].received.empty());
    FUZZ_CHECK(result == (confirmed && Acked(exchanges.back(), 0xE6) ? 1 : 0));
}

// A blank flash needs no erase; otherwise every block must be acknowledged, and the erase is
// always closed with its end frame once it was selected.
void CheckErase(LinkFuzzRig& rig, const Target& t) {
    const int result = rig.link.BootErase(t.cpuProg);
    const auto& exchanges = rig.log.exchanges;
    const std::size_t blocks = t.rx231 ? (t.cpuProg ? 8 : 16) : (t.cpuProg ? 26 : 30);
    FUZZ_CHECK(!exchanges.empty() && exchanges.size() <= blocks + 3);
    FUZZ_CHECK(rig.ElapsedMs() <= (blocks + 3) * kReplyMs);
    if (Acked(exchanges[0], tessaly::kBootAck)) {
        FUZZ_CHECK(result == 1 && exchanges.size() == 1);
        return;
    }
    if (!Acked(rig.Exchange(1), tessaly::kBootAck)) {
        FUZZ_CHECK(result == 0 && exchanges.size() == 2);
        return;
    }
    const auto end = t.rx231 ? tessaly::BlockEraseAddrFrame(rig.link.RomImageEnd)
                             : tessaly::BlockEraseFrame(tessaly::kBootEndBlock);
    FUZZ_CHECK(exchanges.size() >= 3 && exchanges.back().sent == end);
    const auto firstBlock = exchanges.begin() + 2;
    const auto lastBlock = exchanges.end() - 1;
    const bool all = static_cast<std::size_t>(lastBlock - firstBlock) == blocks &&
                     std::all_of(firstBlock, lastBlock,
                                 [](const auto& e) { return Acked(e, tessaly::kBootAck); });
    FUZZ_CHECK(result == (all ? 1 : 0));
}

// Pages with data are written in order, each must be acknowledged, and only a complete image
// is closed with the end frame.
void CheckProgram(LinkFuzzRig& rig, const Target& t) {
    TFlashWrRXCont& link = rig.link;
    const std::size_t pages = link.RomImage.size() / tessaly::kBootPageSize -
                              (t.cpuProg ? 0x4000 / tessaly::kBootPageSize : 0);
    // Data on the first page, one in the middle and the last one written.
    for (std::size_t page : {std::size_t{0}, pages / 2, pages - 1})
        link.RomImage[page * tessaly::kBootPageSize + 7] = static_cast<std::uint8_t>(page);
    const int result = link.BootProgram(t.cpuProg);
    const auto& exchanges = rig.log.exchanges;
    FUZZ_CHECK(!exchanges.empty() && exchanges.size() <= 5);
    FUZZ_CHECK(rig.ElapsedMs() <= 5 * kReplyMs);
    if (!Acked(exchanges[0], tessaly::kBootAck)) {
        FUZZ_CHECK(result == 0 && exchanges.size() == 1);
        return;
    }
    const auto firstPage = exchanges.begin() + 1;
    const auto written = std::find_if(firstPage, exchanges.end(),
                                      [](const auto& e) { return !Acked(e, tessaly::kBootAck); });
    const bool all = written - firstPage >= 3;
    FUZZ_CHECK(result == (all ? 1 : 0));
    FUZZ_CHECK(exchanges.size() ==
               (all ? 5u : static_cast<std::size_t>(written - exchanges.begin()) + 1));
    if (all)
        FUZZ_CHECK(exchanges.back().sent == tessaly::EndOfProgrammingFrame());
}

constexpr int kOperations = kAckOperations + 9;
constexpr std::uint8_t kRx63xBit = 0x20;
constexpr std::uint8_t kCpuProgBit = 0x40;

Target Selected(std::uint8_t selector) {
    return {(selector & kRx63xBit) == 0, (selector & kCpuProgBit) ? 1 : 0};
}

std::unique_ptr<LinkFuzzRig> MakeRig(std::uint8_t selector) {
    return std::make_unique<LinkFuzzRig>(
        Selected(selector).rx231 ? tessaly::kKindRx231 : tessaly::kKindRx630, kFuzzRomSizeCode);
}

void Run(LinkFuzzRig& rig, std::uint8_t selector) {
    const int operation = (selector & 0x1F) % kOperations;
    const Target t = Selected(selector);
    switch (operation - kAckOperations) {
    case 0:
        CheckLockBitStatus(rig);
        break;
    case 1:
        CheckMemRead(rig, t);
        break;
    case 2:
        CheckFlashCrc(rig, false);
        break;
    case 3:
        CheckFlashCrc(rig, true);
        break;
    case 4:
        CheckStateTransition(rig, t);
        break;
    case 5:
        CheckIdCheck(rig, t);
        break;
    case 6:
        CheckBitRateMatch(rig, t);
        break;
    case 7:
        CheckErase(rig, t);
        break;
    case 8:
        CheckProgram(rig, t);
        break;
    default:
        RunAck(rig, operation, t);
        break;
    }
}

// Operations by number, for the seeds.
enum Operation : std::uint8_t {
    kDeviceSelectOp = 0,
    kClockModeOp = 1,
    kLockBitStatusOp = kAckOperations,
    kMemReadOp,
    kFlashCrcOp,
    kCrcCheckOp,
    kTransitionOp,
    kIdCheckOp,
    kBitRateMatchOp,
    kEraseOp,
    kProgramOp,
};

void WithIdCode(rwsim::SimConfig& config, const tessaly::BootIdCode& code) {
    config.idCode = QByteArray(reinterpret_cast<const char*>(code.data()), 16);
}

// What the simulator answers to each operation where it takes it, and where it refuses it.
std::vector<SeedCase> Seeds() {
    std::vector<SeedCase> cases;
    const auto add = [&](const std::string& name, std::uint8_t operation, bool rx63x, bool cpuProg,
                         BootLevel level, std::function<void(rwsim::SimConfig&)> configure = {},
                         std::function<void(LinkFuzzRig&, SimulatedDevice&)> prepare = {}) {
        const auto selector = static_cast<std::uint8_t>(operation | (rx63x ? kRx63xBit : 0) |
                                                        (cpuProg ? kCpuProgBit : 0));
        cases.push_back({name + (rx63x ? "-rx63x" : "-rx231") + (cpuProg ? "" : "-rewrite"),
                         selector, level, std::move(configure), std::move(prepare)});
    };
    static const char* const kAckNames[kAckOperations] = {
        "device-select", "clock-mode",    "boot-area-blank",  "user-area-blank",  "page",
        "erase-block",   "erase-address", "id-code",          "lock-bits-off",    "lock-bit",
        "lock-bits-on",  "restart",       "boot-area-select", "user-area-select", "erase-select"};
    for (const bool rx63x : {false, true}) {
        add("device-select", kDeviceSelectOp, rx63x, true, BootLevel::DeviceSelect);
        add("clock-mode", kClockModeOp, rx63x, true, BootLevel::DeviceSelected);
        for (std::uint8_t op = kClockModeOp + 1; op < kAckOperations; ++op)
            add(kAckNames[op], op, rx63x, true, BootLevel::CommandWait);
        add("refused-in-set-up", kLockBitStatusOp, rx63x, true, BootLevel::TransitionWait);
        add("lock-bit-status", kLockBitStatusOp, rx63x, true, BootLevel::CommandWait);
        add("memory-read", kMemReadOp, rx63x, false, BootLevel::CommandWait);
        add("memory-read", kMemReadOp, rx63x, true, BootLevel::CommandWait);
        add("flash-crc", kFlashCrcOp, rx63x, true, BootLevel::CommandWait);
        add("crc-check", kCrcCheckOp, rx63x, true, BootLevel::CommandWait);
        add("crc-check-wrong", kCrcCheckOp, rx63x, true, BootLevel::CommandWait,
            [](rwsim::SimConfig& c) { c.faults.wrongCrc = true; });
        add("transition", kTransitionOp, rx63x, true, BootLevel::TransitionWait);
        add("transition-id-code", kTransitionOp, rx63x, true, BootLevel::TransitionWait,
            [](rwsim::SimConfig& c) { WithIdCode(c, tessaly::IdCodeA); });
        add("id-check", kIdCheckOp, rx63x, true, BootLevel::TransitionWait);
        add("id-check-first-code", kIdCheckOp, rx63x, true, BootLevel::TransitionWait,
            [](rwsim::SimConfig& c) { WithIdCode(c, tessaly::IdCodeA); });
        add("id-check-second-code", kIdCheckOp, rx63x, true, BootLevel::TransitionWait,
            [](rwsim::SimConfig& c) { WithIdCode(c, tessaly::IdCodeB); });
        add("id-check-refused", kIdCheckOp, rx63x, false, BootLevel::TransitionWait,
            [](rwsim::SimConfig& c) { c.faults.refuseIdCode = true; });
        for (const bool cpuProg : {true, false}) {
            add("bit-rate-match", kBitRateMatchOp, rx63x, cpuProg, BootLevel::Matching);
            add("erase-blank", kEraseOp, rx63x, cpuProg, BootLevel::CommandWait);
            add("erase", kEraseOp, rx63x, cpuProg, BootLevel::CommandWait, {},
                [](LinkFuzzRig&, SimulatedDevice& device) {
                    const std::uint8_t data[] = {0x12, 0x34};
                    device.Flash().Program(device.Flash().Base(), data);
                });
            add("program", kProgramOp, rx63x, cpuProg, BootLevel::CommandWait);
            add("program-refused", kProgramOp, rx63x, cpuProg, BootLevel::CommandWait,
                [](rwsim::SimConfig& c) { c.faults.refusePage = 2; });
        }
    }
    return cases;
}

const DeviceTarget kTarget{MakeRig, Run};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartFuzzProcess(argc, argv);
    WriteSeedsIfAsked(kTarget, Seeds());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RunDeviceInput(kTarget, data, size);
    return 0;
}
