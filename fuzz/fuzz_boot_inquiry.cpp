// The boot program's inquiry replies, as the device sends them, through the link's real reply
// reader, the decoders and the diagnostic items that show them.
//
// Input: one selector byte (low nibble: the inquiry; bit 4: RX63x instead of RX231), then the
// device script (DeviceScript.h).
#include "FuzzCheck.h"
#include "LinkFuzzRig.h"
#include "SeedCorpus.h"
#include "boot/BootDiagnostics.h"
#include "core/boot/BootFrames.h"
#include "core/boot/BootReplies.h"
#include "core/boot/BootTexts.h"
#include "core/link/TargetDevice.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

using Reply = TFlashWrRXCont::BootReply;
using Bytes = std::span<const std::uint8_t>;
namespace Cmd = tessaly::BootCmd;

struct Inquiry {
    const char* name;
    std::uint8_t command;
    int (TFlashWrRXCont::*ask)(std::int32_t&, Reply&);
    int (BootDiagnostics::*item)();
};

constexpr Inquiry kInquiries[] = {
    {"devices", Cmd::SupportDevice, &TFlashWrRXCont::SupportDevice,
     &BootDiagnostics::MnSupportDeviceClick},
    {"clock-modes", Cmd::ClockInfo, &TFlashWrRXCont::ClockInfo, &BootDiagnostics::MnClockInfoClick},
    {"ratios", Cmd::TeibaiInfo, &TFlashWrRXCont::TeibaiInfo, &BootDiagnostics::MnTeibaiInfoClick},
    {"frequencies", Cmd::GetClockInfo, &TFlashWrRXCont::GetClockInfo,
     &BootDiagnostics::MnGetClockInfoClick},
    {"boot-area", Cmd::BootAreaInfo, &TFlashWrRXCont::BootAreaInfo,
     &BootDiagnostics::MnBootAreaInfoClick},
    {"user-area", Cmd::UserAreaInfo, &TFlashWrRXCont::UserAreaInfo,
     &BootDiagnostics::MnUserAreaInfoClick},
    {"write-size", Cmd::WriteSizeInfo, &TFlashWrRXCont::WriteSizeInfo,
     &BootDiagnostics::MnWriteSizeinfoClick},
    {"data-area-check", Cmd::DataAreaChk, &TFlashWrRXCont::DataAreaChk,
     &BootDiagnostics::MnDataAreaChkClick},
    {"data-area", Cmd::DataAreaInfo, &TFlashWrRXCont::DataAreaInfo,
     &BootDiagnostics::MnDataAreaInfoClick},
    {"boot-area-sum", Cmd::UserBootSumCheck, &TFlashWrRXCont::UserBootSumCheck,
     &BootDiagnostics::MnUserBootSumCheckClick},
    {"user-area-sum", Cmd::UserAreaSumCheck, &TFlashWrRXCont::UserAreaSumCheck,
     &BootDiagnostics::MnUserAreaSumCheckClick},
    {"status", Cmd::BootProgInfo, &TFlashWrRXCont::BootProgInfo,
     &BootDiagnostics::MnBootProgInfoClick},
    {"data-area-sum", Cmd::DataSumCheck, &TFlashWrRXCont::DataSumCheck,
     &BootDiagnostics::MnDataSumCheckClick},
};
constexpr std::size_t kInquiryCount = std::size(kInquiries);

std::uint32_t BigEndian(Bytes data, std::size_t at, std::size_t n) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < n; ++i)
        value = (value << 8) | data[at + i];
    return value;
}

bool SamePrefix(Bytes data, std::size_t at, const std::string& text) {
    return at + text.size() <= data.size() &&
           std::equal(text.begin(), text.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

// The text reads back as the value: digits around one dot, exactly two after it.
void CheckFrequencyText(std::uint16_t value) {
    const std::string text = tessaly::FormatFrequency(value);
    const auto dot = text.find('.');
    FUZZ_CHECK(dot != std::string::npos && text.size() - dot == 3);
    std::string digits = text;
    digits.erase(dot, 1);
    FUZZ_CHECK(
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }));
    FUZZ_CHECK(std::stoul(digits) == value);
}

void CheckDeviceList(Bytes data, const tessaly::BootDeviceList& list) {
    FUZZ_CHECK(list.devices.size() <= static_cast<std::size_t>(list.count));
    if (data.empty()) {
        FUZZ_CHECK(list.count == 0 && !list.complete);
        return;
    }
    FUZZ_CHECK(list.count == data[0]);
    std::size_t at = 1;
    for (const tessaly::BootDevice& device : list.devices) {
        FUZZ_CHECK(at < data.size() && device.charCount == data[at]);
        ++at;
        const std::size_t codeWanted = std::min(device.charCount, 4);
        const std::size_t nameWanted = static_cast<std::size_t>(std::max(device.charCount - 4, 0));
        FUZZ_CHECK(device.code.size() <= codeWanted && device.name.size() <= nameWanted);
        if (list.complete)
            FUZZ_CHECK(device.code.size() == codeWanted && device.name.size() == nameWanted);
        FUZZ_CHECK(SamePrefix(data, at, device.code));
        at += device.code.size();
        FUZZ_CHECK(SamePrefix(data, at, device.name));
        at += device.name.size();
    }
    if (list.complete)
        FUZZ_CHECK(list.devices.size() == static_cast<std::size_t>(list.count));
    else
        FUZZ_CHECK(at == data.size()); // it stops only where the data ends
}

void CheckRatioList(Bytes data, const tessaly::BootRatioList& list) {
    FUZZ_CHECK(list.ratios.size() <= static_cast<std::size_t>(list.clockCount));
    if (data.empty()) {
        FUZZ_CHECK(list.clockCount == 0 && !list.complete);
        return;
    }
    FUZZ_CHECK(list.clockCount == data[0]);
    std::size_t at = 1;
    for (std::size_t c = 0; c < list.ratios.size(); ++c) {
        const auto& ratios = list.ratios[c];
        FUZZ_CHECK(at < data.size());
        const bool last = c + 1 == list.ratios.size();
        // Only the last clock may have fewer ratios than announced: where the data ended.
        FUZZ_CHECK(data[at] == ratios.size() ||
                   (last && !list.complete && data[at] > ratios.size()));
        ++at;
        FUZZ_CHECK(at + ratios.size() <= data.size() &&
                   std::equal(ratios.begin(), ratios.end(),
                              data.begin() + static_cast<std::ptrdiff_t>(at)));
        at += ratios.size();
    }
    if (list.complete)
        FUZZ_CHECK(list.ratios.size() == static_cast<std::size_t>(list.clockCount));
    else
        FUZZ_CHECK(at == data.size());
}

void CheckFrequencyList(Bytes data, const tessaly::BootFrequencyList& list) {
    FUZZ_CHECK(list.clocks.size() <= static_cast<std::size_t>(list.clockCount));
    FUZZ_CHECK(data.empty() ? list.clockCount == 0 && !list.complete
                            : list.clockCount == data[0] &&
                                  list.complete == (list.clocks.size() ==
                                                    static_cast<std::size_t>(list.clockCount)));
    FUZZ_CHECK(list.clocks.empty() || 1 + 4 * list.clocks.size() <= data.size());
    for (std::size_t c = 0; c < list.clocks.size(); ++c) {
        FUZZ_CHECK(list.clocks[c].min == BigEndian(data, 1 + 4 * c, 2));
        FUZZ_CHECK(list.clocks[c].max == BigEndian(data, 3 + 4 * c, 2));
        CheckFrequencyText(list.clocks[c].min);
        CheckFrequencyText(list.clocks[c].max);
    }
}

void CheckAreaList(Bytes data, const tessaly::BootAreaList& list) {
    FUZZ_CHECK(list.areas.size() <= static_cast<std::size_t>(list.count));
    FUZZ_CHECK(data.empty() ? list.count == 0 && !list.complete
                            : list.count == data[0] &&
                                  list.complete ==
                                      (list.areas.size() == static_cast<std::size_t>(list.count)));
    FUZZ_CHECK(list.areas.empty() || 1 + 8 * list.areas.size() <= data.size());
    for (std::size_t k = 0; k < list.areas.size(); ++k) {
        FUZZ_CHECK(list.areas[k].first == BigEndian(data, 1 + 8 * k, 4));
        FUZZ_CHECK(list.areas[k].last == BigEndian(data, 5 + 8 * k, 4));
    }
}

// Every decoder on one reply: each reads only the data bytes the size byte announces and the
// reply holds, and what it decodes is what those bytes say.
void CheckDecoders(Bytes reply) {
    const Bytes data = tessaly::InquiryData(reply);
    const std::size_t held =
        reply.size() < 3 ? 0 : std::min<std::size_t>(reply[1], reply.size() - 3);
    FUZZ_CHECK(data.size() == held && (data.empty() || data.data() == reply.data() + 2));

    CheckDeviceList(data, tessaly::DecodeDeviceList(reply));
    CheckRatioList(data, tessaly::DecodeRatioList(reply));
    CheckFrequencyList(data, tessaly::DecodeFrequencyList(reply));
    CheckAreaList(data, tessaly::DecodeAreaList(reply));

    const auto mode = tessaly::DecodeFirstClockMode(reply);
    FUZZ_CHECK(mode.has_value() == !data.empty() && (!mode || *mode == data[0]));
    const auto size = tessaly::DecodeProgrammingSize(reply);
    FUZZ_CHECK(size.has_value() == (data.size() >= 2) && (!size || *size == BigEndian(data, 0, 2)));
    FUZZ_CHECK(tessaly::DecodeDataAreaAvailable(reply) == (!data.empty() && data[0] == 0x21));
    const auto sum = tessaly::DecodeChecksum(reply);
    FUZZ_CHECK(sum.has_value() == (data.size() >= 4) && (!sum || *sum == BigEndian(data, 0, 4)));
    const auto status = tessaly::DecodeProgStatus(reply);
    FUZZ_CHECK(status.has_value() == (data.size() >= 2));
    if (status) {
        FUZZ_CHECK(status->status == data[0] && status->error == data[1]);
        FUZZ_CHECK(std::strlen(tessaly::BootStatusText(status->status)) > 0);
        FUZZ_CHECK(std::strlen(tessaly::BootErrorText(status->error)) > 0);
    }
}

// The reader takes a whole reply with the right code and size, or nothing, and says whether
// its sum is right; the bytes it hands over are the device's, unchanged.
void CheckReader(const Inquiry& inquiry, LinkFuzzRig& rig, int result, std::int32_t length,
                 const Reply& buf) {
    FUZZ_CHECK(rig.log.exchanges.size() == 1);
    const auto& exchange = rig.Exchange(0);
    FUZZ_CHECK(exchange.sent == std::vector<std::uint8_t>{inquiry.command});
    FUZZ_CHECK(rig.ElapsedMs() <= static_cast<std::uint32_t>(TFlashWrRXCont::kBootReplyMs));
    if (length == -1) {
        FUZZ_CHECK(result == 0);
        return;
    }
    const auto& rx = exchange.received;
    FUZZ_CHECK(length >= 3 && length <= static_cast<std::int32_t>(buf.size()));
    FUZZ_CHECK(buf[0] == tessaly::InquiryReplyCode(inquiry.command) && length == buf[1] + 3);
    FUZZ_CHECK(rx.size() >= static_cast<std::size_t>(length) &&
               std::equal(buf.begin(), buf.begin() + length, rx.begin()));
    const bool sumRight = tessaly::BootSum(Bytes(buf.data(), std::size_t(length) - 1)) ==
                          buf[std::size_t(length) - 1];
    FUZZ_CHECK(result == (sumRight ? 1 : 0));
}

const Inquiry& Selected(std::uint8_t selector) {
    return kInquiries[(selector & 0x0F) % kInquiryCount];
}
constexpr std::uint8_t kRx63xBit = 0x10;

std::unique_ptr<LinkFuzzRig> MakeRig(std::uint8_t selector) {
    return std::make_unique<LinkFuzzRig>(
        (selector & kRx63xBit) ? tessaly::kKindRx630 : tessaly::kKindRx231, kFuzzRomSizeCode);
}

// The inquiry through the link's reader, then every decoder on what it took and on whatever
// the device sent. Returns the reader's result.
int Run(LinkFuzzRig& rig, std::uint8_t selector) {
    const Inquiry& inquiry = Selected(selector);
    Reply buf{};
    std::int32_t length = -1;
    const int result = (rig.link.*inquiry.ask)(length, buf);
    CheckReader(inquiry, rig, result, length, buf);
    if (result)
        CheckDecoders(Bytes(buf.data(), std::size_t(length)));
    // The decoders also take what was never a whole reply.
    CheckDecoders(rig.Exchange(0).received);
    return result;
}

// Each inquiry where the simulator answers it and where it refuses it (in the command state),
// for both kinds of microcontroller.
std::vector<SeedCase> Seeds() {
    std::vector<SeedCase> cases;
    for (std::size_t i = 0; i < kInquiryCount; ++i)
        for (const bool rx63x : {false, true})
            for (const BootLevel level : {BootLevel::DeviceSelect, BootLevel::CommandWait}) {
                const std::uint8_t selector =
                    static_cast<std::uint8_t>(i | (rx63x ? kRx63xBit : 0));
                cases.push_back({std::string(kInquiries[i].name) + (rx63x ? "-rx63x" : "-rx231") +
                                     (level == BootLevel::DeviceSelect ? "-set-up" : "-commands"),
                                 selector, level});
            }
    return cases;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartFuzzProcess(argc, argv);
    WriteSeedsIfAsked({MakeRig, [](LinkFuzzRig& rig, std::uint8_t s) { Run(rig, s); }}, Seeds());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const Bytes script(data + 1, size - 1);
    const std::unique_ptr<LinkFuzzRig> rig = MakeRig(data[0]);
    rig->Play(script);
    const int result = Run(*rig, data[0]);

    // The diagnostic item reads the same reply the same way and shows what it decodes.
    const std::unique_ptr<LinkFuzzRig> shown = MakeRig(data[0]);
    shown->Play(script);
    BootDiagnostics diagnostics(shown->link, BootDiagSettings{});
    FUZZ_CHECK((diagnostics.*Selected(data[0]).item)() == result);
    FUZZ_CHECK(!shown->log.lines.isEmpty() &&
               shown->log.lines.first().startsWith(result ? QLatin1String("OK: ")
                                                          : QLatin1String("NG: ")));
    return 0;
}
