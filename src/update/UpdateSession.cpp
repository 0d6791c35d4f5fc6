#include "update/UpdateSession.h"

#include "link/TFlashWrRXCont.h"

UpdateSession::UpdateSession(std::unique_ptr<TFlashWrRXCont>& link, LinkStartUp startUp,
                             UpdateFrontEnd& frontEnd, std::function<DisplayFlags()> flags)
    : link_(link), startUp_(std::move(startUp)), fe_(frontEnd), flags_(std::move(flags)) {}

UpdateOutcome UpdateSession::TB_WriteClick(UpdateSettings& settings) {
    UpdateOutcome refused;
    refused.failedStep = UpdateStep::NoReader;
    if (fReconnect == 0 && link_->ReaderFound == 0) {
        link_->ShowStatusError();
        return refused;
    }
    if (fReconnect == 1 && !link_->ConnectReader())
        return refused;
    fReconnect = 0;
    const UpdateOutcome outcome = FirmUpdate(*link_, fe_, settings);
    RebuildLink(settings.option);
    fReconnect = 1;
    return outcome;
}

void UpdateSession::RebuildLink(const tagOptionPara& option) {
    // The controller goes, and its connection with it; what the operator entered stays.
    const tagTCPIPPara params = link_->TCPIPPara;
    link_.reset();
    link_ = BuildLinkController(startUp_, option, params, flags_());
}
