#pragma once

#include <QString>

// Whether the bridge port can be bound on `address` at all, that is whether this PC has that
// address (empty: every local address, which it always can). Looked at before an update sends
// anything, so that a wrong address never strands a R/W half way; the port itself is not
// taken (another program may hold it for a moment, and takes its turn as always).
bool BridgeBindAddressIsHere(const QString& address);
