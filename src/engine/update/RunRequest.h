#pragma once

#include "link/LinkRecords.h"

#include <QString>

#include <cstdint>
#include <cstdio>

// What one update of a device is asked to do, beyond the device itself (its session: where the
// R/W is, its mode, kind and ROM size, the built-in firmware, the work folder).
struct RunRequest {
    // Whose way out the guidance after a failed write names: the window's re-write check box,
    // or the command line's --boot.
    enum class Advice { Window, CommandLine };
    Advice advice = Advice::Window;
    // A firmware file (.MOT or .HEX) to write instead of the image the device holds; empty:
    // that image (the built-in firmware, or the file last dropped on the window).
    QString imageFile;
    // The front end's settings record: the run sets the update speeds in a copy of it and
    // returns that copy with the outcome.
    tagOptionPara option;
    std::int32_t ResWaitTime = 1000; // pause after the restart, ms
    // The records folder for the run's .log and .json (empty: none), made room in first unless
    // a fleet has done that for all its runs.
    QString recordsDir;
    bool makeRoomInRecords = true;
    int chipLimitMs = -1; // the chip updater's time limit; none in the window
    // A version the R/W need not be updated to again: when the ROM and the CHIP versions the
    // connection read both begin with its first four characters (as the final check compares
    // them), nothing is erased or written and the run ends "skipped". Empty: always update.
    QString skipCurrent;
    // Where the chip updater's exit code line goes, and a file that takes its own output
    // instead of our standard output (a fleet's device log); the window and update use ours.
    std::FILE* chipExitCodeOut = stdout;
    QString chipOutputFile;
};
