#include "bridge/BridgeBindCheck.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QUdpSocket>

bool BridgeBindAddressIsHere(const QString& address) {
    if (address.isEmpty())
        return true;
    const QHostAddress host(address);
    // The whole loopback network is this PC's; another address must be one of its adapters'.
    // (A bind alone is no proof everywhere: under Wine it succeeds for an address the PC does
    // not have.)
    if (!host.isLoopback() && !QNetworkInterface::allAddresses().contains(host))
        return false;
    // Any free port of that address: it can be had exactly when the address is ours.
    QUdpSocket probe;
    return probe.bind(host, 0);
}
