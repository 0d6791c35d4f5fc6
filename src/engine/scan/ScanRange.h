#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The IPv4 addresses a LAN search asks, first to last, both included.
struct ScanRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;

    std::uint32_t Count() const { return last - first + 1; }
    QString Address(std::uint32_t index) const;
};

// A search never asks more addresses than this at once (a /20).
constexpr std::uint32_t kMaxScanAddresses = 4096;

// "A-B" (A up to B, both dotted IPv4 addresses) or "A/N" (the N-bit network of A, without its
// network and broadcast addresses when N is below 31); the problem for a range that is none,
// inverted, or larger than kMaxScanAddresses.
std::optional<QString> ParseScanRange(const QString& text, ScanRange& range);
std::optional<QString> ParseScanSubnet(const QString& text, ScanRange& range);
