#pragma once

#include <QList>

#include <cstdint>

// One IPv4 address of this PC with its net mask. Both values hold the dotted bytes in reading
// order: the first byte of "192.168.0.10" is bits 31-24.
struct Ipv4Adapter {
    std::uint32_t address = 0;
    std::uint32_t mask = 0;
    friend bool operator==(const Ipv4Adapter&, const Ipv4Adapter&) = default;
};

// Where the connection settings dialog gets the PC's adapters from: the real network
// interfaces in the program, a fixed list in tests.
class AdapterSource {
public:
    virtual ~AdapterSource() = default;
    // Every IPv4 address except 127.0.0.1, in the system's order.
    virtual QList<Ipv4Adapter> Adapters() const = 0;
};
