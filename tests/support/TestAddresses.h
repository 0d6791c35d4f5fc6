#pragma once

#include <QString>

// Loopback addresses that belong to this test process alone, for the simulator, the tool's
// bridge binding and anything else that listens: the bridge port 30718 is fixed, and replies go
// to the sender's address, so two test runs (or a demo, which lives in 127.0.0.0/16) must never
// share an address. A process takes a numbered slot, a lock file in the temporary folder held
// until it exits, and its addresses are 127.(64 + slot / 256).(slot % 256).host (96 instead of
// 64 in the Windows build, whose programs under Wine keep their locks elsewhere).
namespace TestAddresses {

// The process's slot; taken on first use.
int Slot();

// Host part 1-254 in the process's own /24.
QString Address(int host);

inline QString Tool() {
    return Address(1);
}
inline QString Module() {
    return Address(2);
}
inline QString Stranger() {
    return Address(3);
}
// The k-th of several simulated R/Ws (k from 0).
inline QString Device(int k) {
    return Address(10 + k);
}

} // namespace TestAddresses
