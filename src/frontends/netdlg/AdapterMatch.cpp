#include "netdlg/AdapterMatch.h"

#include <QHostAddress>

namespace AdapterMatch {

std::uint8_t ByteOf(std::uint32_t value, int index) {
    return static_cast<std::uint8_t>(value >> (8 * (3 - index)));
}

std::uint32_t FromBytes(const std::array<int, 4>& bytes) {
    std::uint32_t value = 0;
    for (int b : bytes)
        value = (value << 8) | static_cast<std::uint8_t>(b);
    return value;
}

QString ToText(std::uint32_t value) {
    return QHostAddress(value).toString();
}

std::optional<std::uint32_t> ParseAddress(const QString& text) {
    const QString trimmed = text.trimmed();
    QHostAddress address;
    if (trimmed.isEmpty() || !address.setAddress(trimmed) ||
        address.protocol() != QAbstractSocket::IPv4Protocol)
        return std::nullopt;
    return address.toIPv4Address();
}

int LastMatchingIndex(const QList<Ipv4Adapter>& adapters, std::optional<std::uint32_t> target) {
    if (!target)
        return -1;
    int found = -1;
    for (int i = 0; i < adapters.size(); ++i) {
        const Ipv4Adapter& adapter = adapters[i];
        if (adapter.mask == 0)
            continue;
        bool same = true;
        for (int b = 0; b < 3 && same; ++b)
            if (ByteOf(adapter.mask, b) == 255 && ByteOf(adapter.address, b) != ByteOf(*target, b))
                same = false;
        if (same)
            found = i;
    }
    return found;
}

std::array<bool, 4> LockedBytes(std::uint32_t mask) {
    std::array<bool, 4> locked{};
    for (int b = 0; b < 4; ++b)
        locked[static_cast<std::size_t>(b)] = ByteOf(mask, b) == 255;
    return locked;
}

} // namespace AdapterMatch
