#pragma once

#include <QString>

// Loopback addresses for the tests that use UDP port 30718. Test programs of other checkouts on
// the same machine put their simulators on 127.0.0.2 and bind the tool's side to every address;
// replies always go to the sender's address and port, so the tool's side here binds an address
// of its own, and so does the module.
namespace BridgeTestAddresses {
inline const QString kTool = QStringLiteral("127.0.0.11");
inline const QString kModule = QStringLiteral("127.0.0.12");
inline const QString kStranger = QStringLiteral("127.0.0.13");
} // namespace BridgeTestAddresses
