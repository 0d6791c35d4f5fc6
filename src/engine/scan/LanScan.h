#pragma once

#include "core/bridge/BridgeSpeed.h"
#include "scan/ScanRange.h"

#include <QString>

#include <optional>
#include <vector>

// What a LAN search found at one address.
struct ScanFinding {
    QString address;
    QString mac;       // the bridge module's, from its version reply; empty: none came
    int bridgeBps = 0; // the serial speed in its setup record; 0: no record came
    bool readerAnswered = false;
    QString romVersion; // empty unless the R/W answered
    QString chipVersion;

    // The module answers but the R/W does not, or the bridge is not at the R/W's own speed:
    // most likely a R/W that a failed write left in boot mode (update it with --boot).
    bool BootSuspected() const {
        return !readerAnswered || (bridgeBps != 0 && bridgeBps != tessaly::kReaderBridgeBps);
    }
};

struct ScanSetup {
    ScanRange range;
    int tcpPort = 9004;  // where the R/Ws take their TCP connection
    QString bindAddress; // the bridge port's local address; empty: every one
    int jobs = 64;       // R/Ws asked at once
};

// Asks the bridge module at every address of the range for its setup record and its version,
// from the process's one bridge endpoint, then the R/W behind every module that answered for
// its versions, many at once, as the connection procedure asks them. It only reads: no record
// is written and no mode switched. Runs on the calling thread, which needs an event loop, until
// it is done. The findings go to `findings`, one per address whose module answered, in address
// order; the problem when the search could not be made at all (an address off loopback while
// TESSALY_LOOPBACK_ONLY is set, the bridge port held by another program).
std::optional<QString> RunLanScan(const ScanSetup& setup, std::vector<ScanFinding>& findings);
