#include "update/UpdateSession.h"

#include "link/TFlashWrRXCont.h"
#include "update/LinkHost.h"
#include "update/UpdatePreflight.h"

UpdateOutcome UpdateSession::TB_WriteClick(UpdateSettings& settings) {
    TFlashWrRXCont& link = host_.Link();
    // Refused before the connection procedure, so that the R/W is not even asked; nothing has
    // happened, so the controller and its connection stay as they are (a firmware file dropped
    // next can go straight on).
    if (!UpdateMayStart(link))
        return Refused(settings, UpdateStep::NoImage);
    if (fReconnect == 0 && link.ReaderFound == 0) {
        link.ShowStatusError();
        return Refused(settings, UpdateStep::NoReader);
    }
    if (fReconnect == 1) {
        const StepScope timed(settings.observer, RunStep::Connect);
        // The dialog may move the address or switch re-write mode on or off, and with it the
        // range the run writes: asked again for the settings confirmed there, before the
        // search sends anything.
        bool mayStart = true;
        if (!link.ConnectReader([&] { return mayStart = UpdateMayStart(link); }))
            return Refused(settings, mayStart ? UpdateStep::NoReader : UpdateStep::NoImage);
    }
    fReconnect = 0;
    const UpdateOutcome outcome = FirmUpdate(link, fe_, settings);

    // The old controller goes, and its connection with it; what the operator entered stays.
    const tagTCPIPPara params = link.TCPIPPara;
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
