#pragma once

#include <QString>

// Loopback addresses and bridge ports that belong to this test process alone, for the
// simulator, the tool's bridge binding and anything else that listens: replies go to the
// sender's address, so two test runs (or a demo, which lives in 127.0.0.0/16) must never share
// an address. The bridge's UDP port is the test's own too, one for the tool's end and another
// for the simulated module (the program itself always uses 30718): under Wine a socket bound to
// a loopback address takes its port on every address, so two of them on one port never go. A
// process takes a numbered slot, a lock file in the temporary folder held until it exits, and its
// addresses are 127.(64 + slot / 256).(slot % 256).host (96 instead of 64 in the Windows build,
// whose programs under Wine keep their locks elsewhere).
namespace TestAddresses {

// The process's slot; taken on first use.
int Slot();

// Host part 1-254 in the process's own /24.
QString Address(int host);

inline QString Tool() {
    return Address(1);
}
// The simulated R/W. Under Wine a UDP socket bound to any loopback address but 127.0.0.1 sends
// from 127.0.0.1, which the tool would take for a stranger's datagrams: there the module is
// 127.0.0.1 itself, told apart from other test runs by its bridge port alone.
inline QString Module() {
#ifdef Q_OS_WIN
    return QStringLiteral("127.0.0.1");
#else
    return Address(2);
#endif
}
inline QString Stranger() {
    return Address(3);
}
// The k-th of several simulated R/Ws (k from 0).
inline QString Device(int k) {
    return Address(10 + k);
}

// The MAC the simulator's bridge module at `address` reports: 02-00 and its IPv4 address.
QString SimulatedMac(const QString& address);

// The process's bridge ports: the tool's end, and the simulated module's.
quint16 ToolBridgePort();
quint16 ModuleBridgePort();
// Points the tool of this process, and every program it starts, at them
// (TESSALY_TEST_BRIDGE_PORTS); called by the test mains before anything else.
void UseOwnBridgePorts();

} // namespace TestAddresses
