#include "netdlg/NetworkInterfaceAdapters.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace {

constexpr std::uint32_t kLocalHost = 0x7F000001u;

} // namespace

Ipv4Adapter NetworkInterfaceAdapters::LoopbackNetwork() {
    return {kLocalHost, 0xFF000000u};
}

QList<Ipv4Adapter> NetworkInterfaceAdapters::Adapters() const {
    QList<Ipv4Adapter> adapters;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& iface : interfaces) {
        const QList<QNetworkAddressEntry> entries = iface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            const std::uint32_t address = ip.toIPv4Address();
            if (address == kLocalHost)
                continue;
            adapters.append({address, entry.netmask().toIPv4Address()});
        }
    }
    if (offerLoopbackNetwork_)
        adapters.append(LoopbackNetwork());
    return adapters;
}
