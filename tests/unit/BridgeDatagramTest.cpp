#include "core/bridge/BridgeDatagram.h"
#include "core/bridge/BridgeSpeed.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tessaly;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A setup reply whose record bytes are distinct, with `speedByte` as record byte 17.
Bytes SetupReply(std::size_t length, std::uint8_t speedByte) {
    Bytes reply(length);
    reply[3] = 0xF8;
    for (std::size_t i = 4; i < length; ++i)
        reply[i] = static_cast<std::uint8_t>(i * 7 + 3);
    reply[21] = speedByte;
    return reply;
}

Bytes VersionReply(std::size_t length) {
    Bytes reply(length, 0x00);
    reply[3] = 0xF7;
    reply[6] = 0x20;
    reply[7] = 6;
    reply[8] = 'X';
    reply[9] = '5';
    const std::uint8_t mac[] = {0x00, 0x20, 0x4A, 0xBC, 0x0F, 0xE1};
    for (std::size_t i = 0; i < 6 && 24 + i < length; ++i)
        reply[24 + i] = mac[i];
    return reply;
}

} // namespace

TEST(BridgeDatagram, CommandsHaveThreeZeroBytesAndTheCode) {
    EXPECT_EQ(BridgeDatagram(kBridgeReadSetup), (Bytes{0x00, 0x00, 0x00, 0xF8}));
    const Bytes record(120, 0x5A);
    const Bytes write = BridgeDatagram(kBridgeWriteSetup, record);
    ASSERT_EQ(write.size(), 124u);
    EXPECT_EQ(Bytes(write.begin(), write.begin() + 4), (Bytes{0x00, 0x00, 0x00, 0xFD}));
    EXPECT_EQ(Bytes(write.begin() + 4, write.end()), record);
}

TEST(BridgeDatagram, PatchChangesOnlyTheLowNibbleOfTheSpeedByte) {
    const Bytes reply = SetupReply(124, 0x38);
    const Bytes slow = PatchedSetupRecord(reply, 1);
    ASSERT_EQ(slow.size(), 120u);
    EXPECT_EQ(slow[17], 0x31);
    for (std::size_t i = 0; i < 120; ++i) {
        if (i != 17) {
            EXPECT_EQ(slow[i], reply[4 + i]) << "record byte " << i;
        }
    }

    Bytes back = reply;
    back[21] = slow[17];
    EXPECT_EQ(PatchedSetupRecord(back, 4)[17], 0x38);
    // The high nibble is the module's own and survives any code.
    EXPECT_EQ(PatchedSetupRecord(SetupReply(124, 0xA5), 3)[17], 0xA9);
}

TEST(BridgeDatagram, SpeedCodesWithTheSlowCodeForUnknownIndexes) {
    const std::uint8_t expected[] = {0x2, 0x1, 0x0, 0x9, 0x8};
    for (int index = 0; index < 5; ++index)
        EXPECT_EQ(BridgeSpeedCode(index), expected[index]) << index;
    EXPECT_EQ(BridgeSpeedCode(5), 0x1);
    EXPECT_EQ(BridgeSpeedCode(-1), 0x1);
    EXPECT_EQ(PatchedSetupRecord(SetupReply(124, 0x38), 5)[17], 0x31);
}

TEST(BridgeDatagram, LongRepliesGiveTheirRecordAndShortOnesNone) {
    const Bytes reply = SetupReply(130, 0x38);
    const Bytes record = PatchedSetupRecord(reply, 4);
    ASSERT_EQ(record.size(), 120u);
    EXPECT_EQ(record.back(), reply[123]);
    EXPECT_TRUE(PatchedSetupRecord(SetupReply(123, 0x38), 4).empty());
    EXPECT_TRUE(PatchedSetupRecord({}, 4).empty());
}

TEST(BridgeDatagram, AcceptanceNeedsTheCodeAtOffsetThree) {
    EXPECT_TRUE(IsSetupAccepted(Bytes{0, 0, 0, 0xFB}));
    EXPECT_TRUE(IsSetupAccepted(Bytes{0, 0, 0, 0xFB, 0x01}));
    EXPECT_FALSE(IsSetupAccepted(Bytes{0, 0, 0, 0xFA}));
    EXPECT_FALSE(IsSetupAccepted(Bytes{0, 0, 0xFB}));
}

TEST(BridgeDatagram, VersionReplyDecodedFromThirtyBytes) {
    const auto version = DecodeBridgeVersion(VersionReply(30));
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->id, "X5");
    EXPECT_EQ(version->firmware, "6.2");
    EXPECT_EQ(version->mac, "00-20-4A-BC-0F-E1");

    EXPECT_FALSE(DecodeBridgeVersion(VersionReply(29)).has_value());
    Bytes other = VersionReply(40);
    other[3] = 0xF8;
    EXPECT_FALSE(DecodeBridgeVersion(other).has_value());
    EXPECT_FALSE(DecodeBridgeVersion(Bytes{0, 0, 0}).has_value());
}

TEST(BridgeSpeed, IndexForEachListedSpeedAndSlowForTheRest) {
    EXPECT_EQ(BridgeSpeedIndexForBps(9600), 0);
    EXPECT_EQ(BridgeSpeedIndexForBps(19200), 1);
    EXPECT_EQ(BridgeSpeedIndexForBps(38400), 2);
    EXPECT_EQ(BridgeSpeedIndexForBps(57600), 3);
    EXPECT_EQ(BridgeSpeedIndexForBps(115200), 4);
    EXPECT_EQ(BridgeSpeedIndexForBps(56700), 1);
}
