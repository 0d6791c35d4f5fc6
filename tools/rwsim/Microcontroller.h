#pragma once

#include "rwsim/BootProgram.h"
#include "rwsim/FlashModel.h"
#include "rwsim/RwFirmware.h"
#include "rwsim/SerialPeer.h"

namespace rwsim {

struct SimConfig;
class Transcript;

// The R/W's control microcontroller: it runs either the R/W firmware or its boot program,
// over one serial line, and holds the flash that both share.
class Microcontroller : public SerialPeer {
public:
    enum class Mode { Firmware, Boot };

    struct Hooks {
        std::function<void(std::vector<std::uint8_t>, int busyUs)> send;
        std::function<void()> powerLoss; // the connection must drop
        std::function<void()> restarted; // a good moment to dump the flash
    };

    Microcontroller(const SimConfig& config, Transcript& transcript, Hooks hooks);

    // Runs the R/W firmware, or the boot program when configured to start in boot mode (as
    // after a failed update). Call once the flash holds its initial contents.
    void PowerOn();
    // The operator switches the R/W off and on after a failed write: the connection drops and
    // the microcontroller comes back in its boot program (its firmware is no longer whole),
    // waiting for the bit-rate matching again. The flash keeps what it holds.
    void PowerCycle();

    int ListenBps() const override;
    void Receive(std::uint8_t byte) override;
    std::size_t UnfinishedFrameBytes() const override;

    Mode CurrentMode() const { return mode_; }
    BootState CurrentBootState() const { return boot_.State(); }
    FlashModel& Flash() { return flash_; }

private:
    void EnterBoot(const QString& why);
    void EnterFirmware(bool programmed);

    const SimConfig& config_;
    Transcript& transcript_;
    Hooks hooks_;
    FlashModel flash_;
    FirmwareVersions versions_;
    bool romSilent_ = false; // set by a restart after programming, with that fault planned
    RwFirmware firmware_;
    BootProgram boot_;
    Mode mode_ = Mode::Firmware;
};

} // namespace rwsim
