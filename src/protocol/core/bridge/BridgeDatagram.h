#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaly {

// The bridge module's configuration datagrams on UDP port 30718. Every datagram, in either
// direction, is three zero bytes, a command or reply code, and a payload.
constexpr std::uint16_t kBridgeUdpPort = 30718;
constexpr std::size_t kBridgeHeaderLength = 4;
constexpr std::size_t kBridgeCodeOffset = 3;

constexpr std::uint8_t kBridgeReadSetup = 0xF8;
constexpr std::uint8_t kBridgeWriteSetup = 0xFD;
constexpr std::uint8_t kBridgeSetupAccepted = 0xFB;
constexpr std::uint8_t kBridgeVersionQuery = 0xF6;
constexpr std::uint8_t kBridgeVersionReply = 0xF7;

// The 120-byte setup record, carried at datagram bytes 4-123; its byte 17 (datagram byte 21)
// holds the serial speed code in the low nibble.
constexpr std::size_t kSetupRecordLength = 120;
constexpr std::size_t kSetupReplyLength = kBridgeHeaderLength + kSetupRecordLength;
constexpr std::size_t kSpeedByteInRecord = 17;
constexpr std::size_t kSpeedByteInDatagram = kBridgeHeaderLength + kSpeedByteInRecord;

constexpr std::size_t kVersionReplyMinLength = 30;

// 00 00 00 code, followed by `payload`.
std::vector<std::uint8_t> BridgeDatagram(std::uint8_t code,
                                         std::span<const std::uint8_t> payload = {});

// The record to write back from a reply to the setup request: datagram bytes 4-123 with the
// low nibble of record byte 17 replaced by the speed code of `speedIndex`; the high nibble and
// the other 119 bytes stay as received. Empty when the reply is shorter than 124 bytes.
std::vector<std::uint8_t> PatchedSetupRecord(std::span<const std::uint8_t> reply,
                                             std::int32_t speedIndex);

// True for a reply of at least 4 bytes with the acceptance code at offset 3.
bool IsSetupAccepted(std::span<const std::uint8_t> reply);

// The fields of the module's version reply, as the log shows them.
struct BridgeVersion {
    std::string id;       // the two ID characters (bytes 8 and 9)
    std::string firmware; // major "." minor, e.g. "6.2"
    std::string mac;      // "XX-XX-XX-XX-XX-XX" (bytes 24-29)
};

// Decodes a version reply: at least 30 bytes with 0xF7 at offset 3; anything else is not one.
std::optional<BridgeVersion> DecodeBridgeVersion(std::span<const std::uint8_t> datagram);

} // namespace tessaly
