#include "bridge/BridgeBindCheck.h"

#include <QHostAddress>
#include <QUdpSocket>

bool BridgeBindAddressIsHere(const QString& address) {
    if (address.isEmpty())
        return true;
    // Any free port of that address: it can be had exactly when the address is ours.
    QUdpSocket probe;
    return probe.bind(QHostAddress(address), 0);
}
