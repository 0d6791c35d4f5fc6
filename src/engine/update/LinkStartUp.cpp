#include "update/LinkStartUp.h"

#include "link/TFlashWrRXCont.h"
#include "update/WorkFolder.h"

std::unique_ptr<TFlashWrRXCont> BuildLinkController(const LinkStartUp& startUp) {
    WorkFolder::WriteChipUpdater(startUp.workDir);
    auto link = std::make_unique<TFlashWrRXCont>(*startUp.env, startUp.logMemo, startUp.option,
                                                 startUp.arguments, startUp.op);
    link->TCPIPPara = startUp.params;
    link->BridgeBindAddress = startUp.bridgeBindAddress;
    link->SetStopToken(startUp.stop);
    link->fDispDebugInfo = startUp.fDispDebugInfo;
    link->fDispTxInfo = startUp.fDispTxInfo;
    link->fDispRecInfo = startUp.fDispRecInfo;
    link->RomImageLoaded =
        !startUp.firmwareText.isEmpty() && link->LoadSRecordText(startUp.firmwareText) ? 1 : 0;
    return link;
}

StartUpLinkHost::StartUpLinkHost(LinkStartUp startUp)
    : startUp_(std::move(startUp)), link_(BuildLinkController(startUp_)) {}

StartUpLinkHost::~StartUpLinkHost() = default;

void StartUpLinkHost::RebuildLink() {
    link_.reset();
    link_ = BuildLinkController(startUp_);
}
