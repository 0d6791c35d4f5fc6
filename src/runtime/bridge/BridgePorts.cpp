#include "bridge/BridgePorts.h"

#include "core/bridge/BridgeDatagram.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace {

BridgePorts ReadPorts() {
    BridgePorts ports{tessaly::kBridgeUdpPort, tessaly::kBridgeUdpPort};
    if (qEnvironmentVariableIntValue("TESSALY_LOOPBACK_ONLY") != 1)
        return ports;
    const QStringList given = qEnvironmentVariable("TESSALY_TEST_BRIDGE_PORTS").split(':');
    bool localOk = false;
    bool remoteOk = false;
    const uint local = given.value(0).toUInt(&localOk);
    const uint remote = given.value(1).toUInt(&remoteOk);
    if (given.size() == 2 && localOk && remoteOk && local > 0 && local < 65536 && remote > 0 &&
        remote < 65536)
        ports = {std::uint16_t(local), std::uint16_t(remote)};
    return ports;
}

} // namespace

const BridgePorts& CurrentBridgePorts() {
    static const BridgePorts ports = ReadPorts();
    return ports;
}
