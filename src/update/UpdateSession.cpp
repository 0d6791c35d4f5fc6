#include "update/UpdateSession.h"

#include "link/TFlashWrRXCont.h"
#include "update/LinkHost.h"
#include "update/UpdatePreflight.h"

UpdateOutcome UpdateSession::TB_WriteClick(UpdateSettings& settings) {
    if (fReconnect == 0 && host_.Link().ReaderFound == 0) {
        host_.Link().ShowStatusError();
        return Refused(settings, UpdateStep::NoReader);
    }
    if (fReconnect == 1) {
        const StepScope timed(settings.observer, RunStep::Connect);
        if (!host_.Link().ConnectReader())
            return Refused(settings, UpdateStep::NoReader);
    }
    fReconnect = 0;
    // Only now: a later run's connection dialog may have changed the address it writes to. A
    // refused run keeps the connection, so a firmware file dropped next can go straight on.
    if (!UpdateMayStart(host_.Link()))
        return Refused(settings, UpdateStep::NoImage);
    const UpdateOutcome outcome = FirmUpdate(host_.Link(), fe_, settings);

    // The old controller goes, and its connection with it; what the operator entered stays.
    const tagTCPIPPara params = host_.Link().TCPIPPara;
    host_.RebuildLink();
    host_.Link().TCPIPPara = params;
    fReconnect = 1;
    return outcome;
}

UpdateOutcome UpdateSession::Refused(const UpdateSettings& settings, UpdateStep step) {
    UpdateOutcome refused;
    refused.failedStep = step;
    if (settings.observer)
        settings.observer->OutcomeKnown(refused, host_.Link());
    return refused;
}
