#include "bridge/BridgeTexts.h"
#include "bridge/TXPortUDP.h"
#include "support/LinkSimRig.h"
#include "support/UdpModuleStandIn.h"

#include <gtest/gtest.h>

namespace {

const QString kReadRequest = QStringLiteral("00 00 00 F8");

QString WriteRequest(const QByteArray& record) {
    return QStringLiteral("00 00 00 FD ") + HexText(record);
}

// The record with the low nibble of byte 17 set to `code`.
QByteArray WithSpeedCode(QByteArray record, int code) {
    record[17] = char((record[17] & 0xF0) | code);
    return record;
}

} // namespace

TEST(BridgeSpeedChange, DownToNineteenPointTwoAndBackChangesOnlyTheNibble) {
    LinkSimRig rig;
    ASSERT_TRUE(rig.started);
    const QByteArray original = rig.Record();
    ASSERT_EQ(std::uint8_t(original[17]), 0x38);

    EXPECT_TRUE(rig.link.ChangeBridgeSerialSpeed(1, LinkSimRig::kHost));
    const QByteArray slow = rig.Record();
    EXPECT_EQ(std::uint8_t(slow[17]), 0x31);
    EXPECT_EQ(slow, WithSpeedCode(original, 0x1));
    EXPECT_EQ(rig.sim->Bridge().SerialBps(), 19200);

    EXPECT_TRUE(rig.link.ChangeBridgeSerialSpeed(4, LinkSimRig::kHost));
    EXPECT_EQ(rig.Record(), original);
    EXPECT_EQ(rig.sim->Bridge().SerialBps(), 115200);

    EXPECT_EQ(rig.UdpReceived(), (QStringList{kReadRequest, WriteRequest(slow), kReadRequest,
                                              WriteRequest(original)}));
    EXPECT_FALSE(rig.log.Contains(BridgeTexts::kReplyTimeout));
    EXPECT_FALSE(rig.log.Contains(BridgeTexts::kNotAccepted));
    EXPECT_FALSE(rig.log.Contains(BridgeTexts::kBindError));
}

TEST(BridgeSpeedChange, UnlistedIndexWritesTheSlowCode) {
    LinkSimRig rig;
    ASSERT_TRUE(rig.started);
    EXPECT_TRUE(rig.link.ChangeBridgeSerialSpeed(5, LinkSimRig::kHost));
    EXPECT_EQ(std::uint8_t(rig.Record()[17]), 0x31);
}

TEST(BridgeSpeedChange, SilentModuleGetsNothingWritten) {
    rwsim::SimConfig config;
    config.faults.silentUdp = true;
    LinkSimRig rig(config);
    ASSERT_TRUE(rig.started);
    const QByteArray original = rig.Record();
    EXPECT_FALSE(rig.link.ChangeBridgeSerialSpeed(1, LinkSimRig::kHost));
    EXPECT_EQ(rig.UdpReceived(), QStringList{kReadRequest});
    EXPECT_EQ(rig.Record(), original);
    EXPECT_EQ(rig.log.lines.count(BridgeTexts::kReplyTimeout), 1);
    EXPECT_FALSE(rig.log.Contains(BridgeTexts::kForeignSender + TestAddresses::Tool()));
}

TEST(BridgeSpeedChange, MissingAcknowledgementIsLoggedButTheRecordCounts) {
    rwsim::SimConfig config;
    config.faults.noFb = true;
    LinkSimRig rig(config);
    ASSERT_TRUE(rig.started);
    EXPECT_TRUE(rig.link.ChangeBridgeSerialSpeed(1, LinkSimRig::kHost));
    EXPECT_EQ(rig.sim->Bridge().SerialBps(), 19200);
    EXPECT_TRUE(rig.log.Contains(BridgeTexts::kReplyTimeout));
    EXPECT_TRUE(rig.log.Contains(BridgeTexts::kNotAccepted));
}

TEST(BridgeSpeedChange, SetBridgeSpeedClosesTheLinkFirst) {
    LinkSimRig rig;
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.link.OpenLink(), 1);
    rig.link.SetBridgeSpeed(1);
    EXPECT_EQ(rig.link.IsConnected(), 0);
    EXPECT_EQ(rig.sim->Bridge().SerialBps(), 19200);
    // The caller reconnects.
    EXPECT_EQ(rig.link.OpenLink(), 1);
}

TEST(BridgeSpeedChange, ModuleVersionReplyIsDecoded) {
    LinkSimRig rig;
    ASSERT_TRUE(rig.started);
    TXPortUDP udp(rig.link, &rig.log);
    udp.BindAddress = QHostAddress(TestAddresses::Tool());
    udp.SendCommand(LinkSimRig::kHost, 0xF6);
    ASSERT_TRUE(udp.WaitForReply(30));
    EXPECT_TRUE(rig.log.Contains(BridgeTexts::kIdPrefix + QStringLiteral("X5")));
    EXPECT_TRUE(rig.log.Contains(BridgeTexts::kFirmwarePrefix + QStringLiteral("6.2")));
    // Each simulated module's own MAC, from its address.
    const QString mac = TestAddresses::SimulatedMac(LinkSimRig::kHost);
    EXPECT_TRUE(rig.log.Contains(BridgeTexts::kMacPrefix + mac));
    EXPECT_EQ(udp.BridgeMacText, mac);
}

// The simulator always answers with exactly 124 bytes; a longer answer needs a stand-in.
TEST(BridgeSpeedChangeLongReply, OnlyTheRecordBytesAreWrittenBack) {
    UdpModuleStandIn module;
    ASSERT_TRUE(module.bound);
    QByteArray reply(130, '\0');
    reply[3] = char(0xF8);
    for (int i = 4; i < 130; ++i)
        reply[i] = char(i * 5 + 1);
    reply[21] = char(0x31);
    module.answer = [&](const QNetworkDatagram& r) {
        if (r.data().size() == 4 && std::uint8_t(r.data()[3]) == 0xF8)
            module.ReplyTo(r, reply);
        else
            module.ReplyTo(r, QByteArray("\0\0\0\xFB", 4));
    };
    VectorLogSink log;
    TFlashWrRXCont link{QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}};
    link.BridgeBindAddress = TestAddresses::Tool();
    EXPECT_TRUE(link.ChangeBridgeSerialSpeed(4, TestAddresses::Module()));
    ASSERT_EQ(module.received.size(), 2u);
    const QByteArray write = module.received[1];
    ASSERT_EQ(write.size(), 124);
    EXPECT_EQ(write.left(4), QByteArray("\0\0\0\xFD", 4));
    EXPECT_EQ(write.mid(4), WithSpeedCode(reply.mid(4, 120), 0x8));
}
