#include "update/UpdateSession.h"

#include "link/TFlashWrRXCont.h"
#include "update/LinkHost.h"
#include "update/UpdatePreflight.h"

UpdateOutcome UpdateSession::TB_WriteClick(UpdateSettings& settings) {
    UpdateOutcome refused;
    refused.failedStep = UpdateStep::NoReader;
    if (fReconnect == 0 && host_.Link().ReaderFound == 0) {
        host_.Link().ShowStatusError();
        return refused;
    }
    if (fReconnect == 1 && !host_.Link().ConnectReader())
        return refused;
    fReconnect = 0;
    // Only now: a later run's connection dialog may have changed the address it writes to. A
    // refused run keeps the connection, so a firmware file dropped next can go straight on.
    if (!UpdateMayStart(host_.Link()))
        return UpdateOutcome{.result = 0, .ErrStage = 0, .failedStep = UpdateStep::NoImage};
    const UpdateOutcome outcome = FirmUpdate(host_.Link(), fe_, settings);

    // The old controller goes, and its connection with it; what the operator entered stays.
    const tagTCPIPPara params = host_.Link().TCPIPPara;
    host_.RebuildLink();
    host_.Link().TCPIPPara = params;
    fReconnect = 1;
    return outcome;
}
