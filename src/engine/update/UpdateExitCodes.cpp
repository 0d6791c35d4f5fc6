#include "update/UpdateExitCodes.h"

int UpdateExitCode(UpdateStep step) {
    switch (step) {
    case UpdateStep::None:
        return UpdateExit::Ok;
    case UpdateStep::NoReader:
        return UpdateExit::NoReader;
    case UpdateStep::NoImage:
        return UpdateExit::NoImage;
    case UpdateStep::WriteSetUp:
        return UpdateExit::WriteSetUp;
    case UpdateStep::IdCheck:
        return UpdateExit::IdCheck;
    case UpdateStep::Erase:
        return UpdateExit::Erase;
    case UpdateStep::Write:
        return UpdateExit::Write;
    case UpdateStep::DataVerify:
        return UpdateExit::DataVerify;
    case UpdateStep::RomVersion:
        return UpdateExit::RomVersion;
    case UpdateStep::ChipVersion:
        return UpdateExit::ChipVersion;
    case UpdateStep::VersionMismatch:
        return UpdateExit::VersionMismatch;
    }
    return 1; // an outcome without a code of its own: "failed"
}
