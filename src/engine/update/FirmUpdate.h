#pragma once

#include "link/LinkRecords.h"
#include "update/UpdateFrontEnd.h"
#include "update/UpdateObserver.h"

#include <QString>

#include <cstdint>
#include <cstdio>

class TFlashWrRXCont;

// Where a run stopped. ErrStage names only the four boot-mode steps (it chooses the guidance
// lines); this names every place, for the CLI's exit codes and for tests.
enum class UpdateStep {
    None,            // the run succeeded
    NoReader,        // the update was refused or the connection procedure failed
    NoImage,         // no byte to write where the run would write: nothing was done
    WriteSetUp,      // bridge to 19.2 kbit/s, reconnection, boot-mode set-up
    IdCheck,         // ErrStage 1
    Erase,           // ErrStage 2
    Write,           // ErrStage 3
    DataVerify,      // ErrStage 4
    RomVersion,      // the R/W did not answer after the restart
    ChipVersion,     // the CHIP did not answer at the end
    VersionMismatch, // ROM and CHIP versions differ in their first four characters
};

struct UpdateOutcome {
    int result = 0; // 1 when both firmwares were updated and agree
    std::int32_t ErrStage = 0;
    UpdateStep failedStep = UpdateStep::NoImage;
};

// The main window's values a run reads and changes.
struct UpdateSettings {
    // The main window's settings record: a run sets the update speeds in it (BpsMode 4,
    // BPSspeed and BaudRate 115200), which reach the settings file at close. The link works
    // from its own copy.
    tagOptionPara& option;
    // 1 when the run switches the R/W into program mode itself, 0 in re-write mode.
    std::int32_t& fCpuProg;
    std::int32_t ResWaitTime = 1000; // pause after the restart, ms
    QString WorkDir{};               // where the chip updater is
    QString VerDigits{};             // the version without dots, for the versioned updater
    int chipLimitMs = -1;            // the chip updater's time limit; none in the window
    UpdateObserver* observer = nullptr; // the run's record keeper, if any
    // Where the chip updater's exit code line goes, and a file that takes its own output
    // instead of our standard output (a fleet's device log); the window and update use ours.
    std::FILE* chipExitCodeOut = stdout;
    QString chipOutputFile{};
};

// The one-button update: program mode, the control microcontroller's firmware through its
// boot mode, back to normal operation, the chip updater, the version comparison, and the
// outcome in the log, the result window and a sound. Runs on the UI thread; returns with the
// result window gone and the main window enabled.
UpdateOutcome FirmUpdate(TFlashWrRXCont& link, UpdateFrontEnd& frontEnd, UpdateSettings& settings);
