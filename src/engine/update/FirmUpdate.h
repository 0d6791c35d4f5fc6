#pragma once

#include "link/LinkRecords.h"
#include "update/RunEvent.h"
#include "update/RunRequest.h"

#include <cstdint>
#include <optional>

class TFlashWrRXCont;

// Where the sequence ended and the settings it set.
struct SequenceResult {
    std::optional<UpdateStep> failedStep; // none: both firmwares updated, versions agree
    std::int32_t ErrStage = 0;
    bool began = false;        // the sequence went past its last check and changed settings
    tagOptionPara option;      // the request's settings record with the update speeds
    std::int32_t fCpuProg = 1; // 1 when the run switched the R/W into program mode itself
};

// The one-button update on a connected R/W (or one in re-write mode): program mode, the control
// microcontroller's firmware through its boot mode, back to normal operation, the chip
// updater, the version comparison, and the outcome's lines with their guidance. What happens is
// told on `events`, step by step; the front ends show it their own way.
SequenceResult FirmUpdate(TFlashWrRXCont& link, RunEvents& events, const RunRequest& request,
                          const QString& workDir);
