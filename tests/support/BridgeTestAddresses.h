#pragma once

#include <QCoreApplication>
#include <QString>

// Loopback addresses for the tests that use UDP port 30718, which every test program on this
// machine shares, whatever checkout it was built from. Replies go to the sender's address and
// port, so each test process gives the tool's side and the module addresses of their own,
// derived from its process id (127.P.Q.x): datagrams of another run never reach it.
namespace BridgeTestAddresses {

inline QString Address(int last) {
    const qint64 pid = QCoreApplication::applicationPid();
    return QStringLiteral("127.%1.%2.%3").arg((pid >> 8) & 0xFF).arg(pid & 0xFF).arg(last);
}

inline QString Tool() {
    return Address(11);
}
inline QString Module() {
    return Address(12);
}
inline QString Stranger() {
    return Address(13);
}

} // namespace BridgeTestAddresses
