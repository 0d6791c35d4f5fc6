// The bridge module keeps its serial speed in its setup record: read the record over UDP,
// change the speed code in it and write it back. The TCP link is closed meanwhile; the caller
// reconnects.
#include "bridge/BridgeEndpoint.h"
#include "bridge/BridgeTexts.h"
#include "bridge/TXPortUDP.h"
#include "core/bridge/BridgeDatagram.h"
#include "link/TFlashWrRXCont.h"

namespace {

// The module restarts its serial side after accepting a record; it is given a second. The
// controller runs on a thread of its own, so one sleep does: a fleet of hundreds would
// otherwise wake a hundred times a second per R/W for nothing.
constexpr std::uint32_t kAcceptPauseMs = 1000;
// Pause between reading the record and writing it back.
constexpr std::uint32_t kBeforeWriteMs = 100;

} // namespace

void TFlashWrRXCont::SetBridgeSpeed(std::int32_t speedIndex) {
    CloseLink();
    ChangeBridgeSerialSpeed(speedIndex, TCPIPPara.TCPServAddr);
}

bool TFlashWrRXCont::ChangeBridgeSerialSpeed(std::int32_t speedIndex, const QString& host) {
    if (OperationRefused())
        return false;
    TXPortUDP udp(*this, LogMemo);
    udp.Trace = BridgeTrace;
    if (!BridgeBindAddress.isEmpty())
        udp.BindAddress = QHostAddress(BridgeBindAddress);

    udp.SendCommand(host, tessaly::kBridgeReadSetup);
    const bool recordReceived = udp.WaitForReply(tessaly::kSetupReplyLength);
    if (recordReceived) {
        const std::vector<std::uint8_t> record =
            tessaly::PatchedSetupRecord(udp.Received(), speedIndex);
        SleepMs(kBeforeWriteMs);
        udp.SendCommandWithData(host, tessaly::kBridgeWriteSetup,
                                static_cast<std::int32_t>(record.size()), record.data());
        if (udp.WaitForReply(tessaly::kBridgeHeaderLength) &&
            tessaly::IsSetupAccepted(udp.Received())) {
            SleepMs(kAcceptPauseMs);
            udp.Unbind();
        } else {
            // The result still says the record was read (callers reconnect either way), but
            // the operator must be able to see that the speed may not have changed.
            udp.AddLog(BridgeTexts::kNotAccepted);
        }
    }
    udp.Unbind();
    // Without the port's turn nothing was written: the module keeps its speed.
    BridgeTurnMissed = udp.TurnMissed;
    return recordReceived;
}
