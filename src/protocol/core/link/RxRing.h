#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tessaly {

// The link's receive ring. Every exchange sends a command and reads a reply far shorter than
// the ring before the next send empties it, so overflow never happens in operation; when a
// misbehaving peer floods us anyway, the bytes that do not fit are dropped (and counted) rather
// than overwriting unread ones: the oldest bytes are the start of the reply being waited for.
class RxRing {
public:
    static constexpr std::size_t kSize = 16384;
    static constexpr std::size_t kCapacity = kSize - 1; // equal positions mean empty

    // Stores as many of the bytes as fit; returns how many were stored.
    std::size_t Write(std::span<const std::uint8_t> bytes);

    std::size_t Available() const;
    // Takes the oldest unread byte. Callers read only bytes they have counted; on an empty
    // ring it returns 0 and leaves the positions alone rather than walking past the writer.
    std::uint8_t ReadByte();
    // Byte at `offset` from the read position, without consuming it (0 when not there).
    std::uint8_t Peek(std::size_t offset) const;
    // Discards everything and puts both positions at 0.
    void Reset();

    std::size_t WriteIndex() const { return write_; }
    std::size_t ReadIndex() const { return read_; }
    std::size_t DroppedBytes() const { return dropped_; }

    // For tests of the wrap: place both positions (each taken modulo the ring size).
    void SetPositions(std::size_t read, std::size_t write);

private:
    std::array<std::uint8_t, kSize> buf_{};
    std::size_t write_ = 0;
    std::size_t read_ = 0;
    std::size_t dropped_ = 0;
};

} // namespace tessaly
