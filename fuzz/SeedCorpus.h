#pragma once

#include "DeviceScript.h"
#include "LinkFuzzRig.h"
#include "SimulatedDevice.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The seed corpus of a device target: what the simulator answers to the target's own
// operations, recorded as device scripts, and a few answers the tests use that the simulator
// never gives. Written by the target itself when started with TESSALY_FUZZ_WRITE_SEEDS=DIR
// (`scripts/fuzz --seeds` does that for every target into fuzz/corpus/).
struct SeedCase {
    std::string name;
    std::uint8_t selector;
    BootLevel level;
    // Simulator settings beyond its defaults (faults, an ID code, a flash with data).
    std::function<void(rwsim::SimConfig&)> configure = {};
    // What the rig or the device need before the operation (a flash with data).
    std::function<void(LinkFuzzRig&, SimulatedDevice&)> prepare = {};
};
struct ScriptedSeed {
    std::string name;
    std::uint8_t selector;
    std::vector<DeviceAnswer> answers;
};

// Does nothing unless TESSALY_FUZZ_WRITE_SEEDS names a folder; then writes every seed there
// (each checked by the target as it was recorded) and ends the process.
void WriteSeedsIfAsked(const DeviceTarget& target, std::span<const SeedCase> cases,
                       std::span<const ScriptedSeed> scripted = {});

// The folder seeds go to, or empty.
QString SeedFolder();
void WriteSeedFile(const QString& folder, const std::string& name, std::uint8_t selector,
                   std::span<const std::uint8_t> body);
