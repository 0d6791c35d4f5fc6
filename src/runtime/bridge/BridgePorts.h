#pragma once

#include <cstdint>

// The bridge modules' configuration port, UDP 30718, at both ends: the port this program binds
// its end to, and the port it sends the modules' datagrams to. The program always uses 30718.
//
// Its tests point both elsewhere, each test process at ports of its own
// (TESSALY_TEST_BRIDGE_PORTS=LOCAL:REMOTE, taken only with TESSALY_LOOPBACK_ONLY=1, where
// nothing leaves the machine): the tool and a simulated module then never need one port of one
// machine, which is more than Wine can give two programs.
struct BridgePorts {
    std::uint16_t local;
    std::uint16_t remote;
};

// Read once, on first use.
const BridgePorts& CurrentBridgePorts();
