#include "scan/ScanRange.h"

#include "link/Ipv4Text.h"

#include <QHostAddress>
#include <QStringList>

namespace {

std::optional<QString> Limited(const ScanRange& range) {
    if (range.last < range.first)
        return QStringLiteral("the range ends before it begins");
    if (std::uint64_t{range.last} - range.first + 1 > kMaxScanAddresses)
        return QStringLiteral("a search takes at most %1 addresses, this range has %2")
            .arg(kMaxScanAddresses)
            .arg(std::uint64_t{range.last} - range.first + 1);
    return std::nullopt;
}

} // namespace

QString ScanRange::Address(std::uint32_t index) const {
    return QHostAddress(first + index).toString();
}

std::optional<QString> ParseScanRange(const QString& text, ScanRange& range) {
    const QStringList ends = text.split(QLatin1Char('-'));
    if (ends.size() != 2 || !IsDottedIpv4(ends[0].trimmed()) || !IsDottedIpv4(ends[1].trimmed()))
        return QStringLiteral("'%1' is no range of IPv4 addresses (A-B)").arg(text);
    range.first = QHostAddress(ends[0].trimmed()).toIPv4Address();
    range.last = QHostAddress(ends[1].trimmed()).toIPv4Address();
    return Limited(range);
}

std::optional<QString> ParseScanSubnet(const QString& text, ScanRange& range) {
    const QStringList parts = text.split(QLatin1Char('/'));
    bool number = false;
    const int bits = parts.value(1).toInt(&number);
    if (parts.size() != 2 || !IsDottedIpv4(parts[0].trimmed()) || !number || bits < 0 || bits > 32)
        return QStringLiteral("'%1' is no IPv4 network (A/N)").arg(text);
    const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits);
    const std::uint32_t network = QHostAddress(parts[0].trimmed()).toIPv4Address() & mask;
    const std::uint64_t size = std::uint64_t{1} << (32 - bits);
    if (size > kMaxScanAddresses)
        return QStringLiteral("a search takes at most %1 addresses, /%2 has %3")
            .arg(kMaxScanAddresses)
            .arg(bits)
            .arg(size);
    range.first = network;
    range.last = static_cast<std::uint32_t>(network + size - 1);
    if (bits < 31) { // no network or broadcast address
        ++range.first;
        --range.last;
    }
    return Limited(range);
}
