#include "rwsim/BridgeModule.h"

#include "core/bridge/BridgeSpeed.h"
#include "rwsim/SimConfig.h"
#include "rwsim/Transcript.h"

#include <QNetworkDatagram>

namespace rwsim {

namespace {

constexpr int kSpeedByte = 17;
constexpr int kHeader = 4;
// Datagrams of the configuration protocol are short; anything longer is not one of them.
constexpr qint64 kLargestDatagram = 1024;

std::span<const std::uint8_t> Bytes(const QByteArray& a) {
    return {reinterpret_cast<const std::uint8_t*>(a.constData()), std::size_t(a.size())};
}

} // namespace

BridgeModule::BridgeModule(Transcript& transcript, const FaultPlan& faults, int serialBps, int seed,
                           QObject* parent)
    : QObject(parent), transcript_(transcript), faults_(faults) {
    // An opaque record as a module would hold it; only the speed nibble means anything here.
    for (int i = 0; i < kRecordSize; ++i)
        record_[i] = std::uint8_t(i * 37 + 11 + seed);
    record_[kSpeedByte] = std::uint8_t(0x30 | CodeForBps(serialBps));
    connect(&socket_, &QUdpSocket::readyRead, this, &BridgeModule::ReadPending);
}

bool BridgeModule::Listen(const QHostAddress& address, quint16 port, QString* error) {
    address_ = address;
    // Its own address only, and not shared: a second socket on it would take some of the
    // datagrams meant for this module. The tool binds another address (--bind).
    if (!socket_.bind(address, port, QAbstractSocket::DontShareAddress)) {
        *error = socket_.errorString();
        return false;
    }
    return true;
}

std::uint8_t BridgeModule::CodeForBps(int bps) {
    switch (bps) {
    case 9600:
        return 0x2;
    case 19200:
        return 0x1;
    case 38400:
        return 0x0;
    case 57600:
        return 0x9;
    case 115200:
        return 0x8;
    default:
        return 0xF;
    }
}

int BridgeModule::SerialBps() const {
    return tessaly::BridgeBpsForCode(record_[kSpeedByte]);
}

void BridgeModule::ReadPending() {
    while (socket_.hasPendingDatagrams()) {
        const qint64 size = socket_.pendingDatagramSize();
        if (size > kLargestDatagram) {
            socket_.receiveDatagram(0); // discards it
            transcript_.Event("udp-ignored",
                              QStringLiteral("oversized datagram of %1 bytes").arg(size));
            continue;
        }
        const QNetworkDatagram datagram = socket_.receiveDatagram();
        const QHostAddress to = datagram.destinationAddress();
        if (!to.isNull() && !to.isEqual(address_, QHostAddress::TolerantConversion)) {
            transcript_.Event("udp-ignored", QStringLiteral("addressed to %1").arg(to.toString()));
            continue;
        }
        Handle(datagram.data(), datagram.senderAddress(), quint16(datagram.senderPort()));
    }
}

void BridgeModule::Handle(const QByteArray& datagram, const QHostAddress& sender,
                          quint16 senderPort) {
    transcript_.Bytes("udp", "rx", Bytes(datagram));
    if (faults_.silentUdp) {
        transcript_.Event("fault", QStringLiteral("silent UDP"));
        return;
    }
    if (datagram.size() < kHeader || !datagram.startsWith(QByteArray(3, '\0'))) {
        transcript_.Event("udp-ignored", QStringLiteral("not a configuration datagram"));
        return;
    }
    const auto code = std::uint8_t(datagram[3]);
    QByteArray header(3, '\0');
    if (code == kReadRecord && datagram.size() == kHeader) {
        Reply(header + char(kReadRecord) +
                  QByteArray(reinterpret_cast<const char*>(record_.data()), kRecordSize),
              sender, senderPort);
    } else if (code == kWriteRecord && datagram.size() == kHeader + kRecordSize) {
        const int oldBps = SerialBps();
        std::copy(datagram.begin() + kHeader, datagram.end(), record_.begin());
        if (faults_.noFb)
            transcript_.Event("fault", QStringLiteral("record stored without 0xFB"));
        else
            Reply(header + char(kRecordStored), sender, senderPort);
        transcript_.Event("speed",
                          QStringLiteral("bridge %1 -> %2 bit/s").arg(oldBps).arg(SerialBps()));
        Q_EMIT Restarted();
    } else if (code == kVersionQuery && datagram.size() == kHeader) {
        QByteArray reply = header + char(kVersionReply);
        reply.append(QByteArray(26, '\0'));
        reply[6] = char(0x20); // firmware 6.2
        reply[7] = char(6);
        reply[8] = 'X';
        reply[9] = '5';
        // Locally administered, and the module's own: 02-00 and its IPv4 address, so that
        // every simulated module of a fleet has a MAC of its own.
        const quint32 ip = address_.toIPv4Address();
        const char mac[6] = {0x02, 0x00, char(ip >> 24), char(ip >> 16), char(ip >> 8), char(ip)};
        for (int i = 0; i < 6; ++i)
            reply[24 + i] = mac[i];
        Reply(reply, sender, senderPort);
    } else {
        transcript_.Event("udp-ignored", QStringLiteral("unknown or malformed command"));
    }
}

void BridgeModule::Reply(const QByteArray& bytes, const QHostAddress& to, quint16 port) {
    if (!to.isLoopback()) { // never answer off this machine
        transcript_.Event("udp-ignored",
                          QStringLiteral("sender %1 is not loopback").arg(to.toString()));
        return;
    }
    transcript_.Bytes("udp", "tx", Bytes(bytes));
    socket_.writeDatagram(bytes, to, port);
}

} // namespace rwsim
