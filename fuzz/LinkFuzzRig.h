#pragma once

#include "DeviceScript.h"
#include "ExchangeLog.h"
#include "link/TFlashWrRXCont.h"
#include "support/FakeLinkEnvironment.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

// The flash every rig models: 32 KB, so that making a rig and running an erase or a
// programming loop stays cheap.
constexpr std::int32_t kFuzzRomSizeCode = 5;

// A link controller connected to an in-memory device on a fake clock, with every debug line
// and byte dump on so that the log shows each exchange. The device plays the fuzzer's script
// (Play) or is the simulator (SimulatedDevice).
class LinkFuzzRig {
public:
    LinkFuzzRig(std::int32_t kind, std::int32_t romSizeCode);

    void Play(std::span<const std::uint8_t> script);
    // Forgets the exchanges so far and restarts the elapsed time: what follows is checked.
    void BeginOperation();

    // Fake milliseconds since the operation began.
    std::uint32_t ElapsedMs() { return env.NowMs() - start_; }
    // The exchange of the Nth write of the operation; it must exist.
    const ExchangeLog::Exchange& Exchange(std::size_t n) const;

    FakeLinkEnvironment env;
    ExchangeLog log;
    TFlashWrRXCont link;

private:
    std::uint32_t start_ = 0;
};

// What a device target is: the rig it makes for a selector byte, and its operation with the
// checks, run on a rig whose device is in place.
struct DeviceTarget {
    std::function<std::unique_ptr<LinkFuzzRig>(std::uint8_t selector)> makeRig;
    std::function<void(LinkFuzzRig&, std::uint8_t selector)> run;
};

// One fuzzer input of a device target: the selector byte, then the device script.
void RunDeviceInput(const DeviceTarget& target, const std::uint8_t* data, std::size_t size);

// Every fuzz target's start: nothing may leave the machine, and Qt gets its application.
void StartFuzzProcess(int* argc, char*** argv);

// The byte at `i` of what the device sent, or -1 when it sent fewer bytes.
int ByteAt(const std::vector<std::uint8_t>& bytes, std::size_t i);
