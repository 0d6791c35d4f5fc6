#include "update/UpdateSession.h"

#include "link/TFlashWrRXCont.h"
#include "update/LinkHost.h"

UpdateOutcome UpdateSession::TB_WriteClick(UpdateSettings& settings) {
    if (fReconnect == 0 && host_.Link().ReaderFound == 0) {
        host_.Link().ShowStatusError();
        return Refused(settings);
    }
    if (fReconnect == 1) {
        const StepScope timed(settings.observer, RunStep::Connect);
        if (!host_.Link().ConnectReader())
            return Refused(settings);
    }
    fReconnect = 0;
    const UpdateOutcome outcome = FirmUpdate(host_.Link(), fe_, settings);

    // The old controller goes, and its connection with it; what the operator entered stays.
    const tagTCPIPPara params = host_.Link().TCPIPPara;
    host_.RebuildLink();
    host_.Link().TCPIPPara = params;
    fReconnect = 1;
    return outcome;
}

UpdateOutcome UpdateSession::Refused(const UpdateSettings& settings) {
    UpdateOutcome refused;
    refused.failedStep = UpdateStep::NoReader;
    if (settings.observer)
        settings.observer->OutcomeKnown(refused, host_.Link());
    return refused;
}
