#include "core/bridge/BridgeDatagram.h"

#include "core/bridge/BridgeSpeed.h"
#include "core/link/ByteDump.h"

namespace tessaly {

std::vector<std::uint8_t> BridgeDatagram(std::uint8_t code, std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> datagram{0x00, 0x00, 0x00, code};
    datagram.insert(datagram.end(), payload.begin(), payload.end());
    return datagram;
}

std::vector<std::uint8_t> PatchedSetupRecord(std::span<const std::uint8_t> reply,
                                             std::int32_t speedIndex) {
    if (reply.size() < kSetupReplyLength)
        return {};
    std::vector<std::uint8_t> record(reply.begin() + kBridgeHeaderLength,
                                     reply.begin() + kSetupReplyLength);
    std::uint8_t& speed = record[kSpeedByteInRecord];
    speed = static_cast<std::uint8_t>((speed & 0xF0) | BridgeSpeedCode(speedIndex));
    return record;
}

bool IsSetupAccepted(std::span<const std::uint8_t> reply) {
    return reply.size() >= kBridgeHeaderLength && reply[kBridgeCodeOffset] == kBridgeSetupAccepted;
}

std::optional<BridgeVersion> DecodeBridgeVersion(std::span<const std::uint8_t> datagram) {
    if (datagram.size() < kVersionReplyMinLength ||
        datagram[kBridgeCodeOffset] != kBridgeVersionReply)
        return std::nullopt;
    BridgeVersion version;
    version.id = {static_cast<char>(datagram[8]), static_cast<char>(datagram[9])};
    // The digits are stored as numbers and shown as the characters '0' + n, unchecked, as the
    // module's own tools do.
    version.firmware = {static_cast<char>(datagram[7] + 0x30), '.',
                        static_cast<char>((datagram[6] >> 4) + 0x30)};
    for (std::size_t i = 24; i < 30; ++i) {
        if (i > 24)
            version.mac.push_back('-');
        version.mac += HexDigits(datagram[i], 2);
    }
    return version;
}

} // namespace tessaly
