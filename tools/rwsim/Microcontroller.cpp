#include "rwsim/Microcontroller.h"

#include "rwsim/SimConfig.h"
#include "rwsim/Transcript.h"

#include "core/link/TargetDevice.h"

namespace rwsim {

Microcontroller::Microcontroller(const SimConfig& config, Transcript& transcript, Hooks hooks)
    : config_(config), transcript_(transcript), hooks_(std::move(hooks)),
      flash_(tessaly::RomImageBaseForSizeCode(config.romSizeCode)), versions_{config.romVersion,
                                                                              config.chipVersion},
      firmware_(transcript, versions_, config.chipFollowsRom, romSilent_, config.faults.silentChip,
                {[this](std::vector<std::uint8_t> bytes) { hooks_.send(std::move(bytes), 0); },
                 [this] { EnterBoot(QStringLiteral("program mode")); }}),
      boot_(config, flash_, transcript,
            {[this](std::vector<std::uint8_t> bytes, int busyUs) {
                 hooks_.send(std::move(bytes), busyUs);
             },
             [this](bool programmed) { EnterFirmware(programmed); },
             [this] {
                 hooks_.powerLoss();
                 // Power comes back with a half-written flash: the MCU stays in boot mode.
                 EnterBoot(QStringLiteral("power restored"));
             }}) {}

void Microcontroller::PowerOn() {
    if (config_.startInBoot)
        EnterBoot(QStringLiteral("started in boot mode"));
    else
        transcript_.Event("mode", QStringLiteral("R/W firmware"));
}

void Microcontroller::PowerCycle() {
    hooks_.powerLoss();
    EnterBoot(QStringLiteral("power cycled"));
}

int Microcontroller::ListenBps() const {
    return mode_ == Mode::Firmware ? RwFirmware::kBps : boot_.ListenBps();
}

void Microcontroller::Receive(std::uint8_t byte) {
    if (mode_ == Mode::Firmware)
        firmware_.Receive(byte);
    else
        boot_.Receive(byte);
}

std::size_t Microcontroller::UnfinishedFrameBytes() const {
    return mode_ == Mode::Firmware ? firmware_.UnfinishedFrameBytes()
                                   : boot_.UnfinishedFrameBytes();
}

void Microcontroller::EnterBoot(const QString& why) {
    mode_ = Mode::Boot;
    boot_.Start();
    transcript_.Event("mode", QStringLiteral("boot program (%1)").arg(why));
    hooks_.restarted();
}

void Microcontroller::EnterFirmware(bool programmed) {
    if (programmed && !config_.newRomVersion.isEmpty())
        versions_.rom = config_.newRomVersion;
    if (programmed && config_.faults.silentRomAfterUpdate)
        romSilent_ = true;
    mode_ = Mode::Firmware;
    firmware_.Reset();
    transcript_.Event(
        "mode",
        QStringLiteral("R/W firmware, ROM version %1").arg(QString::fromLatin1(versions_.rom)));
    hooks_.restarted();
}

} // namespace rwsim
