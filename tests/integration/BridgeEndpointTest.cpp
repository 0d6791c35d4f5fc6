#include "bridge/BridgePortLock.h"
#include "bridge/BridgeTexts.h"
#include "bridge/TXPortUDP.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "support/UdpModuleStandIn.h"
#include "support/VectorLogSink.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

const QString kModule = TestAddresses::Module();

// A datagram of `length` bytes; from 4 bytes on it carries the version reply code and, as far
// as it reaches, the version fields.
QByteArray VersionDatagram(int length) {
    QByteArray d(length, '\0');
    const char fields[][2] = {{3, '\xF7'},  {6, '\x20'},  {7, 6},       {8, 'X'},
                              {9, '5'},     {24, '\x00'}, {25, '\x20'}, {26, '\x4A'},
                              {27, '\xBC'}, {28, '\x0F'}, {29, '\xE1'}};
    for (const auto& f : fields)
        if (f[0] < length)
            d[f[0]] = f[1];
    return d;
}

class BridgePort : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module.bound);
        udp.BindAddress = QHostAddress(TestAddresses::Tool());
    }

    // Runs the event loop until a datagram of any length has been taken in.
    bool AwaitAnyDatagram() {
        link.StartTickTimer();
        return link.WaitUntil([&] { return udp.RxCount >= 0; }, 1000);
    }

    VectorLogSink log;
    TFlashWrRXCont link{QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}};
    UdpModuleStandIn module;
    TXPortUDP udp{link, &log};
};

} // namespace

TEST_F(BridgePort, EveryDatagramSizeIsCountedWholeAndKeptUpTo1024Bytes) {
    int length = 0;
    module.answer = [&](const QNetworkDatagram& r) { module.ReplyTo(r, VersionDatagram(length)); };
    for (int n : {0, 3, 29, 30, 123, 124, 130, 1500}) {
        SCOPED_TRACE(n);
        length = n;
        log.lines.clear();
        udp.SendCommand(kModule, 0xF6);
        udp.RxCount = -1; // tells "nothing yet" from an empty datagram
        ASSERT_TRUE(AwaitAnyDatagram());
        EXPECT_EQ(udp.RxCount, n);
        EXPECT_EQ(udp.Received().size(), static_cast<std::size_t>(std::min(n, 1024)));
        const bool decoded = log.Contains(BridgeTexts::kIdPrefix + QStringLiteral("X5"));
        EXPECT_EQ(decoded, n >= 30);
        if (decoded) {
            EXPECT_TRUE(log.Contains(BridgeTexts::kFirmwarePrefix + QStringLiteral("6.2")));
            EXPECT_TRUE(
                log.Contains(BridgeTexts::kMacPrefix + QStringLiteral("00-20-4A-BC-0F-E1")));
            EXPECT_EQ(udp.BridgeMacText, QStringLiteral("00-20-4A-BC-0F-E1"));
        }
    }
    EXPECT_EQ(module.received.back(), QByteArray("\0\0\0\xF6", 4));
}

TEST_F(BridgePort, BurstOfShortDatagramsDoesNotMakeARecord) {
    module.answer = [&](const QNetworkDatagram& r) {
        for (int i = 0; i < 8; ++i)
            module.ReplyTo(r, QByteArray(100, '\x11'));
    };
    udp.SendCommand(kModule, 0xF8);
    EXPECT_FALSE(udp.WaitForReply(124));
    EXPECT_EQ(udp.RxCount, 100);
    EXPECT_EQ(log.lines.last(), BridgeTexts::kReplyTimeout);
}

TEST_F(BridgePort, ReplyToAnEarlierSendIsForgotten) {
    bool answering = true;
    module.answer = [&](const QNetworkDatagram& r) {
        if (answering)
            module.ReplyTo(r, QByteArray(124, '\x22'));
    };
    udp.SendCommand(kModule, 0xF8);
    ASSERT_TRUE(udp.WaitForReply(124));
    answering = false;
    udp.SendCommand(kModule, 0xF8);
    EXPECT_EQ(udp.RxCount, 0);
    EXPECT_FALSE(udp.WaitForReply(124));
}

TEST_F(BridgePort, DatagramsFromAnotherAddressAreIgnored) {
    UdpModuleStandIn stranger(TestAddresses::Stranger());
    ASSERT_TRUE(stranger.bound);
    module.answer = [&](const QNetworkDatagram& r) {
        stranger.socket.writeDatagram(VersionDatagram(124), r.senderAddress(),
                                      static_cast<quint16>(r.senderPort()));
    };
    udp.SendCommand(kModule, 0xF8);
    EXPECT_FALSE(udp.WaitForReply(4));
    EXPECT_TRUE(log.Contains(BridgeTexts::kForeignSender + TestAddresses::Stranger()));
    EXPECT_FALSE(log.Contains(BridgeTexts::kIdPrefix + QStringLiteral("X5")));
}

TEST_F(BridgePort, UnbindFreesThePortAndSendsBindAgain) {
    ASSERT_TRUE(udp.Bind());
    EXPECT_TRUE(udp.IsActive());
    EXPECT_TRUE(udp.IsBound);
    EXPECT_TRUE(udp.Unbind());
    EXPECT_FALSE(udp.IsActive());
    EXPECT_FALSE(udp.IsBound);
    module.answer = [&](const QNetworkDatagram& r) { module.ReplyTo(r, QByteArray(4, '\0')); };
    udp.SendCommand(kModule, 0xF8);
    EXPECT_TRUE(udp.IsActive());
    EXPECT_TRUE(udp.WaitForReply(4));
}

TEST_F(BridgePort, RefusedDestinationIsLoggedAndNotSent) {
    ASSERT_TRUE(qEnvironmentVariableIsSet("TESSALY_LOOPBACK_ONLY"));
    udp.SendCommand(QStringLiteral("192.0.2.1"), 0xF8);
    EXPECT_TRUE(log.Contains(QStringLiteral("NG: TESSALY_LOOPBACK_ONLY: 192.0.2.1") +
                             QStringLiteral(" はループバックではないため送信しません")));
}

// Without the stand-in: a program that takes no turns holding the port exclusively, and the
// tool binding every local address as it does by default.
TEST(BridgePortTaken, BindFailsAndTheRequestGoesOutFromAnotherPort) {
    // The tool's port held without sharing on the module's own address, which the wildcard
    // binding overlaps; the module's port listens for what is sent all the same.
    QUdpSocket blocker;
    ASSERT_TRUE(blocker.bind(QHostAddress(kModule), TestAddresses::ToolBridgePort(),
                             QAbstractSocket::DontShareAddress));
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(kModule), TestAddresses::ModuleBridgePort(),
                            QAbstractSocket::DontShareAddress));
    VectorLogSink log;
    TFlashWrRXCont link{QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}};
    EXPECT_FALSE(link.ChangeBridgeSerialSpeed(1, kModule));
    EXPECT_EQ(log.lines.count(BridgeTexts::kBindError), 1);
    EXPECT_EQ(log.lines.count(BridgeTexts::kReplyTimeout), 1);
    EXPECT_FALSE(link.BridgeTurnMissed);
    ASSERT_TRUE(holder.hasPendingDatagrams());
    const QNetworkDatagram request = holder.receiveDatagram();
    EXPECT_EQ(request.data(), QByteArray("\0\0\0\xF8", 4));
    EXPECT_NE(request.senderPort(), TestAddresses::ToolBridgePort());
}

// Two devices' speed changes at once in one process share the port; each hears only the module
// it asked. The port is bound while a request waits for its reply, and free again after.
TEST_F(BridgePort, OperationsSideBySideEachHearOnlyTheirModule) {
    UdpModuleStandIn other(TestAddresses::Stranger());
    ASSERT_TRUE(other.bound);
    module.answer = [&](const QNetworkDatagram& r) { module.ReplyTo(r, QByteArray(124, 'A')); };
    other.answer = [&](const QNetworkDatagram& r) { other.ReplyTo(r, QByteArray(124, 'B')); };
    TXPortUDP second{link, &log};
    second.BindAddress = udp.BindAddress;

    udp.SendCommand(kModule, 0xF8);
    second.SendCommand(TestAddresses::Stranger(), 0xF8);
    QUdpSocket intruder;
    EXPECT_FALSE(intruder.bind(udp.BindAddress, TestAddresses::ToolBridgePort(),
                               QAbstractSocket::ShareAddress));
    ASSERT_TRUE(udp.WaitForReply(124));
    ASSERT_TRUE(second.WaitForReply(124));
    EXPECT_EQ(udp.Received()[0], 'A');
    EXPECT_EQ(second.Received()[0], 'B');
    EXPECT_FALSE(log.Contains(BridgeTexts::kForeignSender + TestAddresses::Stranger()));
    EXPECT_TRUE(second.IsActive());
    EXPECT_TRUE(intruder.bind(udp.BindAddress, TestAddresses::ToolBridgePort(),
                              QAbstractSocket::DontShareAddress));
}

// Another program of this PC in the middle of its exchange on the same address: ours waits for
// the end of it, says so once, and then goes ahead.
TEST(BridgeTurn, ExchangeWaitsForAnotherProgramToFinish) {
    UdpModuleStandIn module;
    ASSERT_TRUE(module.bound);
    module.answer = [&](const QNetworkDatagram& r) {
        module.ReplyTo(r, r.data().size() == 4 ? QByteArray(124, '\0') : QByteArray("\0\0\0\xFB"));
    };
    const QHostAddress bind(TestAddresses::Tool());
    BridgePortLock otherProgram(BridgeEndpoint::TurnName(bind));
    ASSERT_TRUE(otherProgram.Take(0)) << otherProgram.Problem().toStdString();
    std::thread handOver([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        otherProgram.Release();
    });

    VectorLogSink log;
    TFlashWrRXCont link{QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}};
    link.BridgeBindAddress = bind.toString();
    const bool read = link.ChangeBridgeSerialSpeed(1, kModule);
    handOver.join();
    EXPECT_TRUE(read);
    EXPECT_EQ(log.lines.count(BridgeTexts::kWaitingForTurn), 1);
    ASSERT_EQ(module.received.size(), 2u);
    EXPECT_FALSE(log.Contains(BridgeTexts::kBindError));
}

// A turn that does not come in time: nothing is sent, and the module keeps its settings.
TEST(BridgeTurn, TurnNotHadInTimeSendsNothing) {
    UdpModuleStandIn module;
    ASSERT_TRUE(module.bound);
    const QHostAddress bind(TestAddresses::Tool());
    BridgePortLock otherProgram(BridgeEndpoint::TurnName(bind));
    ASSERT_TRUE(otherProgram.Take(0));

    VectorLogSink log;
    TFlashWrRXCont link{QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}};
    link.BridgeBindAddress = bind.toString();
    link.BridgeTurnLimitMs = 300;
    EXPECT_FALSE(link.ChangeBridgeSerialSpeed(1, kModule));
    EXPECT_TRUE(link.BridgeTurnMissed);
    EXPECT_TRUE(log.Contains(BridgeTexts::kTurnMissed));
    EXPECT_FALSE(log.Contains(BridgeTexts::kReplyTimeout));
    EXPECT_TRUE(module.received.empty());
}
