#pragma once

#include "netdlg/AdapterSource.h"

#include <QString>

#include <array>
#include <optional>

// How a stored R/W address relates to the PC's adapters: which adapter's subnet holds it and
// which of its bytes that adapter's mask fixes.
namespace AdapterMatch {

// Byte `index` (0-3) of a dotted-order value.
std::uint8_t ByteOf(std::uint32_t value, int index);
std::uint32_t FromBytes(const std::array<int, 4>& bytes);

// "a.b.c.d" text of a value, and the value of such a text (nothing for empty or malformed
// text, which then matches no adapter).
QString ToText(std::uint32_t value);
std::optional<std::uint32_t> ParseAddress(const QString& text);

// The index of the last adapter whose subnet holds `target`, or -1. An adapter matches when its
// mask is not 0 and, for each of the first three bytes where its mask byte is 255, its byte
// equals the target's. The fourth byte is never compared.
int LastMatchingIndex(const QList<Ipv4Adapter>& adapters, std::optional<std::uint32_t> target);

// The address bytes that a mask fixes (mask byte 255): their edits are locked.
std::array<bool, 4> LockedBytes(std::uint32_t mask);

} // namespace AdapterMatch
