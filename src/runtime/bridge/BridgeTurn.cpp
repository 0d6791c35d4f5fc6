#include "bridge/BridgeTurn.h"

#include "bridge/BridgeEndpoint.h"
#include "bridge/BridgeTexts.h"
#include "bridge/TXPortUDP.h"
#include "link/TFlashWrRXCont.h"

namespace {

// How long another program's exchange is waited for, and how often its end is looked for.
constexpr std::uint32_t kTurnLimitMs = 10000;
constexpr std::uint32_t kTurnRetryMs = 20;

} // namespace

BridgeTurn::BridgeTurn(TFlashWrRXCont& link, TXPortUDP& udp) : udp_(udp) {
    BridgeEndpoint& endpoint = BridgeEndpoint::OfProcess();
    link.StartTickTimer();
    for (bool first = true; !(taken_ = endpoint.TryTakeTurn(udp.BindAddress)); first = false) {
        if (first)
            udp.AddLog(BridgeTexts::kWaitingForTurn);
        if (link.TickTimerExpired(kTurnLimitMs))
            break;
        link.WaitForEvents(kTurnRetryMs);
    }
}

BridgeTurn::~BridgeTurn() {
    if (taken_)
        BridgeEndpoint::OfProcess().EndTurn(udp_.BindAddress);
}
