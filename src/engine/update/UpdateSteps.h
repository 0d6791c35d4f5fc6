#pragma once

#include <QString>

#include <cstdint>
#include <span>

// The places an update goes through, in the order it reaches them. Image and VersionsDiffer
// are where a run can end without being steps of their own: the firmware image found unfit
// before anything is sent, and the final comparison finding the two versions different.
enum class UpdateStep {
    Image,          // the image is loaded and checked; nothing has been sent yet
    Connect,        // the connection procedure, when the run includes it
    ProgramMode,    // switching the R/W into program mode (not in re-write mode)
    SetUp,          // bridge to 19.2 kbit/s, reconnection, boot-mode set-up
    IdCheck,        // ErrStage 1
    Erase,          // ErrStage 2
    Write,          // ErrStage 3
    Verify,         // ErrStage 4
    Restart,        // the boot-mode restart, the pause after it, the bridge back to 115.2 kbit/s
    RomVersion,     // waiting for the restarted R/W's ROM version
    Chip,           // the chip updater and the CHIP version wait after it
    Compare,        // the final CHIP version and the comparison
    VersionsDiffer, // ROM and CHIP versions differ in their first four characters
};

// Everything a step is known by. Nothing else in the program spells these.
struct StepInfo {
    UpdateStep id;
    QString recordName; // its name in a run record ("setup", "write", ...)
    QString title;      // what the operator knows it by (the fleet, progress lines)
    bool timed;         // a step the record times (Image and VersionsDiffer are not)
    // While it runs: the main window's step title (STTitle) when `setsMainTitle`, and the result
    // window's caption (Label1) when not empty.
    bool setsMainTitle;
    QString mainTitle;
    QString caption;
    // Its result lines in the log (empty: the step logs none of its own); `ngIsDebug` makes the
    // NG line a debug line (the failed verify shows through the outcome and its guidance).
    QString okLine;
    QString ngLine;
    bool ngIsDebug;
    std::int32_t errStage; // chooses the guidance lines after a failure here
    int exitCode;          // tessaly-cli update's exit code for a run that ends here (0: none)
};

const StepInfo& Step(UpdateStep step);
// Every step, in order.
std::span<const StepInfo> Steps();

// The exit code of a run that succeeded, and of one stopped before its end (a signal, Ctrl+C,
// a fleet stopped).
constexpr int kExitOk = 0;
constexpr int kExitInterrupted = 3;

// The steps during which a stop leaves the flash neither old nor new: only a run in re-write
// mode repairs it.
constexpr bool LeavesFlashPartial(UpdateStep step) {
    return step == UpdateStep::Erase || step == UpdateStep::Write || step == UpdateStep::Verify;
}
