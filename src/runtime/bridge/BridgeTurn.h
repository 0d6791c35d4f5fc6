#pragma once

class TFlashWrRXCont;
class TXPortUDP;

// This process's turn at the bridge port among the programs of the PC, for one exchange. When
// the wait runs out the exchange goes ahead all the same: the port is then most likely held,
// and the operator sees "接続エラー" and a set-up that fails within its limits.
class BridgeTurn {
public:
    BridgeTurn(TFlashWrRXCont& link, TXPortUDP& udp);
    ~BridgeTurn();
    BridgeTurn(const BridgeTurn&) = delete;
    BridgeTurn& operator=(const BridgeTurn&) = delete;

private:
    TXPortUDP& udp_;
    bool taken_ = false;
};
