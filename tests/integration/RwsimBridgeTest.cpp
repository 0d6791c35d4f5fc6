// The simulated bridge module: its setup record over UDP and what its serial speed does to
// the bytes on the TCP line.

#include "core/bridge/BridgeSpeed.h"
#include "support/RwsimHarness.h"

using namespace rwsim_test;

namespace {

QByteArray Header(std::uint8_t code) {
    return QByteArray(3, '\0') + char(code);
}

TEST(RwsimBridge, RecordReadWriteAndVersion) {
    Harness h;
    const QByteArray reply = h.ReadRecord();
    ASSERT_EQ(reply.size(), 124);
    EXPECT_EQ(reply.left(4), Header(0xF8));
    EXPECT_EQ(reply[21] & 0x0F, 0x8) << "powers up at 115200 bit/s";
    EXPECT_EQ(h.sim->Bridge().SerialBps(), 115200);

    // Write back a record with every byte changed: it is stored as sent.
    QByteArray record = reply.mid(4);
    for (auto& b : record)
        b = char(~b);
    record[17] = char(0x31);
    const QByteArray ack = h.Udp(Header(0xFD) + record, 4);
    EXPECT_EQ(ack, Header(0xFB));
    EXPECT_EQ(h.ReadRecord().mid(4), record);
    EXPECT_EQ(h.sim->Bridge().SerialBps(), 19200);

    const QByteArray version = h.Udp(Header(0xF6), 30);
    ASSERT_EQ(version.size(), 30);
    EXPECT_EQ(std::uint8_t(version[3]), 0xF7);
    EXPECT_EQ(version[7], 6);
    EXPECT_EQ(std::uint8_t(version[6]) >> 4, 2);
    // 02-00 and the module's IPv4 address: every simulated module has a MAC of its own.
    EXPECT_EQ(version.mid(24, 6).toHex('-').toUpper(),
              TestAddresses::SimulatedMac(h.sim->Config().address.toString()).toLatin1());
}

TEST(RwsimBridge, HoldsItsPortWithoutSharing) {
    Harness h;
    // Another socket on the module's address and port would take some of its datagrams.
    QUdpSocket intruder;
    EXPECT_FALSE(intruder.bind(h.sim->Config().address, h.sim->UdpPort(),
                               QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint));
    EXPECT_EQ(h.ReadRecord().size(), 124);
}

TEST(RwsimBridge, SpeedCodes) {
    using rwsim::BridgeModule;
    const std::pair<std::uint8_t, int> codes[] = {
        {0x2, 9600}, {0x1, 19200}, {0x0, 38400}, {0x9, 57600}, {0x8, 115200}};
    for (auto [code, bps] : codes) {
        EXPECT_EQ(tessaly::BridgeBpsForCode(std::uint8_t(0x30 | code)), bps);
        EXPECT_EQ(BridgeModule::CodeForBps(bps), code);
    }
    EXPECT_EQ(tessaly::BridgeBpsForCode(0x5), 0);
}

TEST(RwsimBridge, MalformedDatagramsAreIgnoredAndItKeepsRunning) {
    Harness h;
    EXPECT_TRUE(h.Udp(Header(0xFD) + QByteArray(100, '\x31'), 1, 200).isEmpty())
        << "a short record is not stored";
    EXPECT_TRUE(h.Udp(QByteArray(2000, '\0'), 1, 200).isEmpty()) << "oversized";
    EXPECT_TRUE(h.Udp(QByteArray::fromHex("010000F8"), 1, 200).isEmpty()) << "bad header";
    EXPECT_TRUE(h.Udp(Header(0xF8) + "x", 1, 200).isEmpty()) << "read with a payload";
    EXPECT_EQ(h.sim->Bridge().SerialBps(), 115200);
    EXPECT_EQ(h.ReadRecord().size(), 124);
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("oversized datagram of 2000 bytes")));
}

TEST(RwsimBridge, StoringARecordRestartsTheModuleAndDropsTcp) {
    Harness h;
    ASSERT_TRUE(h.Connect());
    ASSERT_TRUE(h.SetBridgeSpeedCode(0x8)); // even the same speed restarts the module
    EXPECT_TRUE(WaitFor([&] { return h.tcp->state() == QAbstractSocket::UnconnectedState; }, 2000));
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("bridge module restarted")));
}

TEST(RwsimBridge, BytesPassOnlyAtTheListeningSpeed) {
    Harness h;
    ASSERT_TRUE(h.MoveBridge(0x1)); // 19200, the R/W firmware listens at 115200
    h.Send(RwFrame('O', {0x90, 0x00}));
    EXPECT_TRUE(h.Drain().empty());
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("garbled")));

    ASSERT_TRUE(h.MoveBridge(0x8));
    EXPECT_EQ(h.Exchange(RwFrame('O', {0x90, 0x00}), 17).size(), 17u);
}

TEST(RwsimBridge, AFloodingClientOverrunsTheBufferInsteadOfGrowingIt) {
    rwsim::SimConfig config;
    config.serialTiming = true; // 100 KB take almost 9 s on the wire at 115200 bit/s
    Harness h(config);
    ASSERT_TRUE(h.Connect());
    h.Send(Bytes(100'000, 0xAA));
    EXPECT_TRUE(WaitFor([&] { return h.TranscriptHas(QStringLiteral("overrun")); }, 3000));
}

TEST(RwsimBridge, OnlyLoopbackAddressesAreBound) {
    rwsim::SimConfig config;
    config.address = QHostAddress(QStringLiteral("192.0.2.10"));
    rwsim::RwSimulator sim(config);
    QString error;
    EXPECT_FALSE(sim.Start(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("loopback")));
}

TEST(RwsimBridge, SilentUdpFault) {
    rwsim::SimConfig config;
    config.faults.silentUdp = true;
    Harness h(config);
    EXPECT_TRUE(h.Udp(Header(0xF8), 124, 300).isEmpty());
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("silent UDP")));
}

TEST(RwsimBridge, NoFbFaultStoresTheRecordWithoutAnswering) {
    rwsim::SimConfig config;
    config.faults.noFb = true;
    Harness h(config);
    QByteArray record = h.ReadRecord().mid(4);
    ASSERT_EQ(record.size(), 120);
    record[17] = char((record[17] & 0xF0) | 0x1);
    EXPECT_TRUE(h.Udp(Header(0xFD) + record, 4, 300).isEmpty());
    EXPECT_EQ(h.sim->Bridge().SerialBps(), 19200);
    EXPECT_TRUE(h.TranscriptHas(QStringLiteral("without 0xFB")));
}

} // namespace
