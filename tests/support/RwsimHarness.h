#pragma once

// A hand-driven client for the R/W simulator: raw loopback sockets and bounded waits, no tool
// code, so that a fault in the tool cannot hide a fault in the simulator.

#include "rwsim/RwSimulator.h"
#include "support/TestAddresses.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

namespace rwsim_test {

using Bytes = std::vector<std::uint8_t>;

// Runs the event loop until `done` holds or `limitMs` has passed.
inline bool WaitFor(const std::function<bool()>& done, int limitMs) {
    QDeadlineTimer deadline(limitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents,
                                        int(std::max<qint64>(1, deadline.remainingTime())));
    }
    return true;
}

// Two's complement of the 8-bit sum, appended to a boot-mode frame.
inline Bytes WithBootSum(Bytes frame) {
    const unsigned sum = std::accumulate(frame.begin(), frame.end(), 0u);
    frame.push_back(std::uint8_t(0x100 - (sum & 0xFF)));
    return frame;
}

// A R/W request frame: 02 00 letter L data 03 sum 0D with the plain 8-bit sum.
inline Bytes RwFrame(std::uint8_t letter, const Bytes& data) {
    Bytes frame{0x02, 0x00, letter, std::uint8_t(data.size())};
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(0x03);
    frame.push_back(std::uint8_t(std::accumulate(frame.begin(), frame.end(), 0u)));
    frame.push_back(0x0D);
    return frame;
}

inline Bytes ProgramFrame(std::uint32_t address, std::uint8_t fill) {
    Bytes frame{0x50, std::uint8_t(address >> 24), std::uint8_t(address >> 16),
                std::uint8_t(address >> 8), std::uint8_t(address)};
    for (int i = 0; i < 256; ++i)
        frame.push_back(std::uint8_t(fill + i));
    return WithBootSum(frame);
}

inline const Bytes kAck{0x02, 0x00, 0x30, 0x00, 0x03, 0x35, 0x0D};
inline const Bytes kEndOfProgramming{0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xB4};

class Harness {
public:
    explicit Harness(rwsim::SimConfig config = {}) {
        config.address = QHostAddress(TestAddresses::Module());
        config.udpPort = 0; // a free port: the hand-driven client needs no fixed one
        config.tcpPort = 0;
        if (config.transcriptFile.isEmpty())
            config.transcriptFile = dir.filePath(QStringLiteral("transcript.jsonl"));
        sim = std::make_unique<rwsim::RwSimulator>(config);
        QString error;
        started = sim->Start(&error);
        EXPECT_TRUE(started) << error.toStdString();
    }

    bool Connect() {
        tcp = std::make_unique<QTcpSocket>();
        tcp->connectToHost(sim->Config().address, sim->TcpPort());
        return WaitFor([&] { return tcp->state() == QAbstractSocket::ConnectedState; }, 2000) &&
               WaitFor([&] { return sim->HasClient(); }, 2000);
    }

    void Send(const Bytes& bytes) {
        tcp->write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        tcp->flush();
    }

    // Waits up to `limitMs` for `count` bytes and returns what came (possibly fewer).
    Bytes Receive(std::size_t count, int limitMs = 2000) {
        WaitFor([&] { return std::size_t(tcp->bytesAvailable()) >= count; }, limitMs);
        const QByteArray data = tcp->read(qint64(count));
        return Bytes(data.begin(), data.end());
    }

    // Whatever arrives within `limitMs` (for checking that nothing does).
    Bytes Drain(int limitMs = 150) {
        WaitFor([] { return false; }, limitMs);
        const QByteArray data = tcp->readAll();
        return Bytes(data.begin(), data.end());
    }

    Bytes Exchange(const Bytes& request, std::size_t replyCount) {
        Send(request);
        return Receive(replyCount);
    }

    // One datagram to the bridge; the reply of at least `minReply` bytes, or empty.
    QByteArray Udp(const QByteArray& datagram, int minReply = 1, int limitMs = 1000) {
        if (udp.state() != QAbstractSocket::BoundState)
            udp.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
        while (udp.hasPendingDatagrams())
            udp.receiveDatagram();
        udp.writeDatagram(datagram, sim->Config().address, sim->UdpPort());
        QByteArray reply;
        WaitFor(
            [&] {
                while (udp.hasPendingDatagrams()) {
                    reply = udp.receiveDatagram().data();
                    if (reply.size() >= minReply)
                        return true;
                }
                return false;
            },
            limitMs);
        return reply.size() >= minReply ? reply : QByteArray();
    }

    QByteArray ReadRecord() { return Udp(QByteArray(3, '\0') + char(0xF8), 124); }

    // Reads the setup record, sets the speed nibble of byte 17, writes it back.
    bool SetBridgeSpeedCode(std::uint8_t code) {
        QByteArray record = ReadRecord().mid(4);
        if (record.size() != 120)
            return false;
        record[17] = char((record[17] & 0xF0) | code);
        const QByteArray reply = Udp(QByteArray(3, '\0') + char(0xFD) + record, 4);
        return reply.size() >= 4 && std::uint8_t(reply[3]) == 0xFB;
    }

    // As the tool does: move the bridge, then open the TCP link again.
    bool MoveBridge(std::uint8_t code) {
        if (tcp)
            tcp->abort();
        return SetBridgeSpeedCode(code) && Connect();
    }

    bool TranscriptHas(const QString& text) {
        QFile file(sim->Config().transcriptFile);
        return file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text);
    }

    // Boot program from reset to the programming/erasure command state at 115200 bit/s.
    void BootSetupRx231() {
        ASSERT_TRUE(MatchBitRate());
        ASSERT_EQ(Exchange({0x10, 0x04, 0x38, 0x61, 0x30, 0x32, 0xF1}, 1), Bytes{0x46});
        ASSERT_EQ(Exchange({0x3F, 0x07, 0x04, 0x80, 0x00, 0x00, 0x02, 0x02, 0x01, 0x31}, 1),
                  Bytes{0x06});
        ConfirmAt115200();
    }

    // With the bridge at 19200 and the MCU fresh in its boot program.
    bool MatchBitRate() {
        if (!MoveBridge(0x1))
            return false;
        for (int i = 0; i < 10; ++i)
            Send({0x00});
        return Receive(1) == Bytes{0x00} && Exchange({0x55}, 1) == Bytes{0xE6};
    }

    void ConfirmAt115200() {
        ASSERT_TRUE(MoveBridge(0x8));
        ASSERT_EQ(Exchange({0x06}, 1), Bytes{0x06});
    }

    QTemporaryDir dir;
    std::unique_ptr<rwsim::RwSimulator> sim;
    std::unique_ptr<QTcpSocket> tcp;
    QUdpSocket udp;
    bool started = false;
};

} // namespace rwsim_test
