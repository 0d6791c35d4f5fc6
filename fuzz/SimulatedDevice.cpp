#include "SimulatedDevice.h"

#include "FuzzCheck.h"
#include "LinkFuzzRig.h"
#include "core/boot/BootFrames.h"

namespace {

// The new bit rate the set-up selects (in 100 bit/s) and, for the RX63x kind, its clock.
constexpr std::uint16_t kFastBitRate = 1152;
constexpr float kInputClockMHz = 13.56f;

} // namespace

SimulatedDevice::SimulatedDevice(LinkFuzzRig& rig, rwsim::SimConfig config, BootLevel level)
    : config_([&] {
          config.startInBoot = level != BootLevel::Firmware;
          return config;
      }()),
      mcu_(config_, transcript_,
           {[this](std::vector<std::uint8_t> bytes, int) {
                pending_.append(reinterpret_cast<const char*>(bytes.data()),
                                static_cast<qsizetype>(bytes.size()));
            },
            [] {}, [] {}}) {
    mcu_.PowerOn();
    FakeLinkEnvironment& env = rig.env;
    env.SetResponder([this, &env](const QByteArray& sent) {
        pending_.clear();
        for (char byte : sent)
            mcu_.Receive(static_cast<std::uint8_t>(byte));
        env.Reply(pending_, 1);
        if (recording_)
            answers_.push_back({DevicePiece{1, pending_}});
    });
    Reach(rig, level);
}

void SimulatedDevice::StartRecording() {
    recording_ = true;
    answers_.clear();
}

void SimulatedDevice::Reach(LinkFuzzRig& rig, BootLevel level) {
    TFlashWrRXCont& link = rig.link;
    const bool rx231 = link.BootTargetIsRx231();
    if (level <= BootLevel::Matching)
        return;
    link.fCpuProg = 1;
    FUZZ_CHECK(link.BitRateMatch() == 1);
    if (level == BootLevel::DeviceSelect)
        return;
    FUZZ_CHECK(link.DeviceSelect(link.DeviceCode) == 1);
    if (level == BootLevel::DeviceSelected)
        return;
    if (!rx231)
        FUZZ_CHECK(link.SelectClockMode(0) == 1);
    if (level == BootLevel::BitRateSelect)
        return;
    // The link's own bit-rate selection also moves the bridge; the device needs only the frame
    // and the confirmation at the new rate.
    const std::uint16_t clock = rx231 ? 0 : tessaly::InputClockField(kInputClockMHz);
    const std::uint8_t ratio1 = rx231 ? 2 : 4;
    const std::uint8_t ratio2 = rx231 ? 1 : 2;
    FUZZ_CHECK(
        link.SendBootFrameAck(tessaly::SelectBitRateFrame(kFastBitRate, clock, ratio1, ratio2),
                              tessaly::kBootAck) == 1);
    FUZZ_CHECK(link.SendBootByte(tessaly::kBootAck, tessaly::kBootAck) == 1);
    if (level == BootLevel::TransitionWait)
        return;
    std::uint8_t state = 0;
    FUZZ_CHECK(link.EraseStatusSet(state) == 1 && state != tessaly::kBootStateNeedsIdCode);
}
