#pragma once

#include "update/FirmUpdate.h"

// The exit code of `tessaly-cli update` for each outcome. The run record of the window carries
// the same code, so one table serves both front ends.
namespace UpdateExit {
constexpr int Ok = 0;
constexpr int NoReader = 10;        // the R/W was not found (or not at all in re-write mode)
constexpr int NoImage = 11;         // nothing to write: --image not loadable, no byte where the
                                    // run would write, or the built-in stand-in and a R/W
                                    // outside loopback (nothing was sent)
constexpr int WriteSetUp = 12;      // bridge to 19.2 kbit/s, reconnection or boot set-up
constexpr int IdCheck = 13;         // ID code check
constexpr int Erase = 14;           // erasing the flash
constexpr int Write = 15;           // writing the flash: power-cycle the R/W, re-run with --boot
constexpr int DataVerify = 16;      // the flash CRC differs from the image's
constexpr int RomVersion = 17;      // the R/W did not answer after the restart
constexpr int ChipVersion = 18;     // the CHIP did not report its version
constexpr int VersionMismatch = 19; // ROM and CHIP versions differ
} // namespace UpdateExit

int UpdateExitCode(UpdateStep step);
