#include "boot/BootLogTexts.h"
#include "core/boot/BootFrames.h"
#include "core/boot/BootIdCodes.h"
#include "link/TFlashWrRXCont.h"

int TFlashWrRXCont::TryIdCode(int useA, std::uint8_t state) {
    if (state != tessaly::kBootStateNeedsIdCode)
        return 1;
    return IDCodeCheck(useA ? tessaly::IdCodeA : tessaly::IdCodeB);
}

int TFlashWrRXCont::BootIdCheck(int cpuProg) {
    std::uint8_t state = 0;
    int ok = EraseStatusSet(state);
    if (ok && state == tessaly::kBootStateNeedsIdCode)
        ok = TryIdCode(cpuProg, state) || TryIdCode(!cpuProg, state);
    if (!ok)
        AddLog(QString::fromUtf8(BootLog::kIdCheckFailed), 0);
    return ok;
}
