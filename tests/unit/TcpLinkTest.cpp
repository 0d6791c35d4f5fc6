// The link controller over a real loopback TCP connection.
#include "link/NetworkGuard.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "support/VectorLogSink.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TcpLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                peers.append(s);
        });
        link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.1");
        link.TCPIPPara.TCPServPort = server.serverPort();
        link.ConnectTimeoutMs = 2000;
    }
    QTcpSocket* Peer() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !peers.isEmpty(); }, 2000));
        return peers.isEmpty() ? nullptr : peers.last();
    }

    QTcpServer server;
    QList<QTcpSocket*> peers;
    VectorLogSink log;
    TFlashWrRXCont link{QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}};
};

} // namespace

// (That the controller closes before it connects again is shown with the scripted transport:
// on a real socket the connect call itself drops an open connection, so no order is seen here.)
TEST_F(TcpLink, OpenLinkWhileConnectedReplacesTheConnection) {
    ASSERT_EQ(link.OpenLink(), 1);
    QTcpSocket* first = Peer();
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(link.OpenLink(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return peers.size() == 2; }, 2000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return first->state() == QAbstractSocket::UnconnectedState; }, 2000));
    EXPECT_EQ(link.IsConnected(), 1);
    link.CloseLink();
    EXPECT_EQ(link.IsConnected(), 0);
}

TEST_F(TcpLink, SendDiscardsLateBytesAndReplyIsCounted) {
    ASSERT_EQ(link.OpenLink(), 1);
    QTcpSocket* peer = Peer();
    peer->write("\x15\x16\x17", 3); // a late reply to some earlier command
    peer->flush();
    ASSERT_TRUE(QTest::qWaitFor([&] { return link.RxAvailable() == 3; }, 2000));

    const std::uint8_t cmd[] = {0x02, 0x00, 0x4F, 0x02, 0x90, 0x00, 0x03, 0xE6, 0x0D};
    EXPECT_EQ(link.SendBytes(cmd, 9), 9);
    EXPECT_EQ(link.RxAvailable(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->bytesAvailable() == 9; }, 2000));
    EXPECT_EQ(peer->readAll(), QByteArray(reinterpret_cast<const char*>(cmd), 9));

    peer->write("\x06", 1);
    peer->flush();
    link.StartTickTimer();
    ASSERT_TRUE(link.WaitForRxCount(1, 2000));
    EXPECT_EQ(link.ReadRxByte(), 0x06);
}

TEST_F(TcpLink, LargeArrivalIsTakenInSlicesOfAtMost1024) {
    link.fDispDebugInfo = 1;
    link.fDispRecInfo = 1;
    link.fDispTxInfo = 0;
    ASSERT_EQ(link.OpenLink(), 1);
    QTcpSocket* peer = Peer();
    log.Clear();
    QByteArray block(3000, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 7);
    peer->write(block);
    peer->flush();
    link.StartTickTimer();
    ASSERT_TRUE(link.WaitForRxCount(3000, 3000));
    int total = 0;
    for (const QString& line : log.lines) {
        ASSERT_TRUE(line.startsWith(QStringLiteral("RX: "))) << line.toStdString();
        const int n = line.mid(4).size() / 3;
        EXPECT_LE(n, 1024);
        total += n;
    }
    EXPECT_EQ(total, 3000);
    EXPECT_GE(log.LineCount(), 3);
    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ(link.ReadRxByte(), static_cast<std::uint8_t>(i * 7)) << i;
}

TEST_F(TcpLink, DumpsNeedTheirFlagAndDebugDisplay) {
    link.fDispTxInfo = 1;
    link.fDispRecInfo = 1;
    ASSERT_EQ(link.OpenLink(), 1);
    QTcpSocket* peer = Peer();
    const std::uint8_t cmd[] = {0x02, 0x00, 0x4F, 0x02, 0x90, 0x00, 0x03, 0xE6, 0x0D};
    log.Clear();
    link.SendBytes(cmd, 9); // debug display off: nothing shown
    EXPECT_EQ(log.LineCount(), 0);
    link.fDispDebugInfo = 1;
    link.SendBytes(cmd, 9);
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("TX: 02 00 4F 02 90 00 03 E6 0D ")});
    link.fDispTxInfo = 0;
    link.SendBytes(cmd, 9);
    EXPECT_EQ(log.LineCount(), 1);
    peer->write("\xAB\x01", 2);
    peer->flush();
    link.StartTickTimer();
    ASSERT_TRUE(link.WaitForRxCount(2, 2000));
    EXPECT_EQ(log.lines.last(), QStringLiteral("RX: AB 01 "));
}

TEST_F(TcpLink, SendOnAClosedLinkSendsNothingAndLogsNothing) {
    link.fDispDebugInfo = 1;
    const std::uint8_t cmd[] = {0x55};
    EXPECT_EQ(link.SendBytes(cmd, 1), 0);
    EXPECT_EQ(log.LineCount(), 0);
    EXPECT_TRUE(peers.isEmpty());
}

TEST_F(TcpLink, NothingListeningFailsAtTheLimitWithADebugLine) {
    const quint16 port = server.serverPort();
    server.close();
    link.TCPIPPara.TCPServPort = port;
    link.ConnectTimeoutMs = 300;
    link.fDispDebugInfo = 1;
    EXPECT_EQ(link.OpenLink(), 0);
    EXPECT_EQ(link.IsConnected(), 0);
    EXPECT_TRUE(std::any_of(log.lines.begin(), log.lines.end(), [](const QString& l) {
        return l.startsWith(QStringLiteral("ClientSocket Error : "));
    }));
}

TEST(NetworkGuard, LoopbackOnlyRefusesEverythingElse) {
    ASSERT_TRUE(NetworkGuard::LoopbackOnly()) << "tests run with TESSALY_LOOPBACK_ONLY=1";
    EXPECT_TRUE(NetworkGuard::Allows(QStringLiteral("127.0.0.9")));
    EXPECT_TRUE(NetworkGuard::Allows(QStringLiteral(" 127.0.0.1 ")));
    EXPECT_FALSE(NetworkGuard::Allows(QStringLiteral("192.168.0.1")));
    EXPECT_FALSE(NetworkGuard::Allows(QStringLiteral("10.1.2.3")));
    EXPECT_FALSE(NetworkGuard::Allows(QStringLiteral("localhost.example")));
    EXPECT_FALSE(NetworkGuard::Allows(QHostAddress(QStringLiteral("255.255.255.255"))));
}
