#pragma once

#include "netdlg/AdapterSource.h"

// The PC's IPv4 addresses as the network interfaces report them, 127.0.0.1 left out. In demo
// mode the loopback network (127.0.0.1 / 255.0.0.0) is offered as one more adapter, so that a
// simulator on 127.0.0.2 can be chosen in the dialog like a real R/W.
class NetworkInterfaceAdapters final : public AdapterSource {
public:
    explicit NetworkInterfaceAdapters(bool offerLoopbackNetwork = false)
        : offerLoopbackNetwork_(offerLoopbackNetwork) {}
    QList<Ipv4Adapter> Adapters() const override;

    // The row demo mode adds.
    static Ipv4Adapter LoopbackNetwork();

private:
    bool offerLoopbackNetwork_;
};
