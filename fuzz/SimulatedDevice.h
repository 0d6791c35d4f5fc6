#pragma once

#include "DeviceScript.h"
#include "rwsim/Microcontroller.h"
#include "rwsim/SimConfig.h"
#include "rwsim/Transcript.h"

#include <vector>

class LinkFuzzRig;

// How far the boot program has been taken before the operation a seed records.
enum class BootLevel {
    Firmware,       // the R/W firmware runs
    Matching,       // boot program fresh from reset
    DeviceSelect,   // bit rate matched
    DeviceSelected, // device selected (RX63x: waiting for the clock mode)
    BitRateSelect,  // waiting for the new bit rate
    TransitionWait, // new bit rate confirmed
    CommandWait,    // programming/erasure commands accepted
};

// The simulator's microcontroller as the device behind a fuzz rig, answering every write at
// once (1 ms later), and recording its answers so that they can be played back as a script.
class SimulatedDevice {
public:
    SimulatedDevice(LinkFuzzRig& rig, rwsim::SimConfig config, BootLevel level);

    // From here on the answers are recorded (the writes that reached the level are not).
    void StartRecording();
    const std::vector<DeviceAnswer>& Answers() const { return answers_; }
    rwsim::FlashModel& Flash() { return mcu_.Flash(); }

private:
    void Reach(LinkFuzzRig& rig, BootLevel level);

    rwsim::SimConfig config_;
    rwsim::Transcript transcript_;
    rwsim::Microcontroller mcu_;
    QByteArray pending_;
    bool recording_ = false;
    std::vector<DeviceAnswer> answers_;
};
