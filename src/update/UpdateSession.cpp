#include "update/UpdateSession.h"

#include "link/TFlashWrRXCont.h"
#include "update/LinkHost.h"
#include "update/UpdatePreflight.h"

UpdateOutcome UpdateSession::TB_WriteClick(UpdateSettings& settings) {
    UpdateOutcome refused;
    refused.failedStep = UpdateStep::NoReader;
    UpdateOutcome nothingToWrite;
    nothingToWrite.failedStep = UpdateStep::NoImage;
    TFlashWrRXCont& link = host_.Link();
    // Refused before the connection procedure, so that the R/W is not even asked; nothing has
    // happened, so the controller and its connection stay as they are.
    if (!UpdateMayStart(link))
        return nothingToWrite;
    if (fReconnect == 0 && link.ReaderFound == 0) {
        link.ShowStatusError();
        return refused;
    }
    if (fReconnect == 1) {
        // The dialog may switch re-write mode on or off, and with it the range the run writes:
        // asked again for the settings confirmed there, before the search sends anything.
        bool mayStart = true;
        if (!link.ConnectReader([&] { return mayStart = UpdateMayStart(link); }))
            return mayStart ? refused : nothingToWrite;
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
