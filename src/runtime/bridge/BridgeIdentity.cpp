// Which R/W this is: its bridge module's MAC address, from the module's version reply. The
// address of a R/W may change from one run to the next; its module's MAC does not.
#include "bridge/TXPortUDP.h"
#include "core/bridge/BridgeDatagram.h"
#include "link/TFlashWrRXCont.h"

QString TFlashWrRXCont::ReadBridgeMac() {
    if (OperationRefused())
        return {};
    TXPortUDP udp(*this, LogMemo);
    udp.Quiet = true;
    udp.Trace = BridgeTrace;
    if (!BridgeBindAddress.isEmpty())
        udp.BindAddress = QHostAddress(BridgeBindAddress);
    udp.SendCommand(TCPIPPara.TCPServAddr, tessaly::kBridgeVersionQuery);
    return udp.WaitForReply(std::int32_t(tessaly::kVersionReplyMinLength)) ? udp.BridgeMacText
                                                                           : QString();
}
