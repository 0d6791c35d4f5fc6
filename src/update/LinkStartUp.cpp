#include "update/LinkStartUp.h"

#include "link/TFlashWrRXCont.h"
#include "update/WorkFolder.h"

std::unique_ptr<TFlashWrRXCont> BuildLinkController(const LinkStartUp& startUp,
                                                    const tagOptionPara& option,
                                                    const tagTCPIPPara& params,
                                                    const DisplayFlags& flags) {
    WorkFolder::WriteChipUpdater(startUp.workDir);
    auto link = std::make_unique<TFlashWrRXCont>(*startUp.env, startUp.logMemo, option,
                                                 startUp.arguments, startUp.op);
    link->TCPIPPara = params;
    link->fDispDebugInfo = flags.fDispDebugInfo;
    link->fDispTxInfo = flags.fDispTxInfo;
    link->fDispRecInfo = flags.fDispRecInfo;
    link->RomImageLoaded = link->LoadSRecordText(startUp.firmwareText) ? 1 : 0;
    return link;
}
