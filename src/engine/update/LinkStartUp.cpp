#include "update/LinkStartUp.h"

#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "resources/EmbeddedResources.h"
#include "update/UpdateTexts.h"
#include "update/WorkFolder.h"

std::unique_ptr<TFlashWrRXCont> BuildLinkController(const LinkStartUp& startUp, LogSink* log,
                                                    LinkOperator* op) {
    WorkFolder::EnsureChipUpdater(startUp.workDir);
    auto link =
        std::make_unique<TFlashWrRXCont>(*startUp.env, log, startUp.option, startUp.arguments, op);
    link->TCPIPPara = startUp.params;
    link->BridgeBindAddress = startUp.bridgeBindAddress;
    link->SetStopToken(startUp.stop);
    link->fDispDebugInfo = startUp.fDispDebugInfo;
    link->fDispTxInfo = startUp.fDispTxInfo;
    link->fDispRecInfo = startUp.fDispRecInfo;
    link->RomImageLoaded =
        !startUp.firmwareText.isEmpty() &&
                link->LoadSRecordText(startUp.firmwareText, startUp.firmwareLinesForced)
            ? 1
            : 0;
    if (!link->RomImageLoaded)
        link->AddLog(UpdateText::ImageNotRead, 1);
    return link;
}

LinkStartUp HeadlessStartUp(const HeadlessTarget& target, const QString& workDir,
                            const StopToken* stop) {
    LinkStartUp startUp;
    startUp.env = &QtLinkEnvironment::Instance();
    if (target.reWrite)
        startUp.arguments = QStringList{QStringLiteral("boot")};
    startUp.workDir = workDir;
    startUp.firmwareText =
        EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1"));
    startUp.option.fCPUType = target.kind;
    startUp.option.fROMSize = target.romSizeCode;
    startUp.params.TCPServAddr = target.host;
    startUp.params.TCPServPort = target.port;
    startUp.params.TCPPort = target.port;
    startUp.bridgeBindAddress = target.bindAddress;
    startUp.stop = stop;
    startUp.fDispDebugInfo = target.debug ? 1 : 0;
    return startUp;
}
