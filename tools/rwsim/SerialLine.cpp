#include "rwsim/SerialLine.h"

#include "rwsim/BridgeModule.h"
#include "rwsim/SerialPeer.h"
#include "rwsim/SimConfig.h"
#include "rwsim/Transcript.h"

namespace rwsim {

SerialLine::SerialLine(Transcript& transcript, const BridgeModule& bridge, const FaultPlan& faults,
                       bool timed, QObject* parent)
    : QObject(parent), transcript_(transcript), bridge_(bridge), faults_(faults), toDevice_(timed),
      fromDevice_(timed) {
    connect(&server_, &QTcpServer::newConnection, this, &SerialLine::Accept);
}

SerialLine::~SerialLine() {
    // The server deletes its sockets after this object's members are gone: cut them loose
    // first so that no disconnect reaches a half-destroyed line.
    for (QTcpSocket* socket : server_.findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

bool SerialLine::Listen(const QHostAddress& address, quint16 port, QString* error) {
    if (!server_.listen(address, port)) {
        *error = server_.errorString();
        return false;
    }
    return true;
}

bool SerialLine::HasClient() const {
    return client_ && client_->state() == QAbstractSocket::ConnectedState;
}

void SerialLine::Accept() {
    while (QTcpSocket* next = server_.nextPendingConnection()) {
        if (QTcpSocket* replaced = client_) {
            transcript_.Event("disconnect", QStringLiteral("replaced by a new connection"));
            // Let go of it first: the abort reports the disconnect at once, and that is no
            // client closing its connection.
            client_ = nullptr;
            replaced->abort();
            replaced->deleteLater();
        }
        client_ = next;
        transcript_.Event(
            "connect",
            QStringLiteral("%1:%2").arg(next->peerAddress().toString()).arg(next->peerPort()));
        connect(next, &QTcpSocket::readyRead, this, &SerialLine::ReadClient);
        connect(next, &QTcpSocket::disconnected, this, [this, next] {
            if (client_ == next) {
                const std::size_t unfinished = peer_ ? peer_->UnfinishedFrameBytes() : 0;
                transcript_.Event("disconnect",
                                  unfinished == 0
                                      ? QStringLiteral("closed by the client")
                                      : QStringLiteral("closed by the client in mid-frame; "
                                                       "%1 byte(s) stay with the device")
                                            .arg(unfinished));
                client_ = nullptr;
            }
            next->deleteLater();
        });
    }
}

void SerialLine::ReadClient() {
    if (!client_)
        return;
    const QByteArray data = client_->readAll();
    std::vector<std::uint8_t> bytes(data.begin(), data.end());
    transcript_.Bytes("tcp", "rx", bytes);
    if (backlog_ + bytes.size() > kBufferBytes) {
        transcript_.Event("overrun", QStringLiteral("%1 byte(s) dropped, the bridge's buffer is "
                                                    "full")
                                         .arg(bytes.size()));
        return;
    }
    backlog_ += bytes.size();
    const qint64 wire = WireTimeNs(qsizetype(bytes.size()), bridge_.SerialBps());
    toDevice_.Push(0, wire, [this, bytes] {
        backlog_ -= bytes.size();
        Deliver(bytes);
    });
}

void SerialLine::Deliver(const std::vector<std::uint8_t>& bytes) {
    if (!peer_)
        return;
    // The speed is checked byte by byte: a byte can change what the peer listens at.
    std::vector<std::uint8_t> garbled;
    for (std::uint8_t b : bytes) {
        if (peer_->ListenBps() == bridge_.SerialBps()) {
            peer_->Receive(b);
        } else {
            garbled.push_back(b);
        }
    }
    if (!garbled.empty())
        transcript_.Event("garbled",
                          QStringLiteral("%1 byte(s) to the device at %2 bit/s, it listens at %3")
                              .arg(garbled.size())
                              .arg(bridge_.SerialBps())
                              .arg(peer_->ListenBps()));
}

void SerialLine::Transmit(std::vector<std::uint8_t> bytes, int busyUs) {
    if (bytes.empty())
        return;
    const int deviceBps = peer_ ? peer_->ListenBps() : 0;
    if (deviceBps != bridge_.SerialBps()) {
        transcript_.Event("garbled",
                          QStringLiteral("%1 byte(s) from the device at %2 bit/s, bridge at %3")
                              .arg(bytes.size())
                              .arg(deviceBps)
                              .arg(bridge_.SerialBps()));
        return;
    }
    if (faults_.garbleReplies) {
        for (auto& b : bytes)
            b = std::uint8_t(~b);
        transcript_.Event("fault", QStringLiteral("reply garbled"));
    }
    const qint64 wire = WireTimeNs(qsizetype(bytes.size()), deviceBps);
    fromDevice_.Push(qint64(busyUs) * 1000, wire, [this, bytes] {
        if (!HasClient()) {
            transcript_.Event(
                "lost", QStringLiteral("%1 byte(s) from the device, no client").arg(bytes.size()));
            return;
        }
        transcript_.Bytes("tcp", "tx", bytes);
        client_->write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    });
}

void SerialLine::DropClient(const QString& reason) {
    toDevice_.Clear();
    backlog_ = 0;
    fromDevice_.Clear();
    if (!client_)
        return;
    transcript_.Event("disconnect", reason);
    QTcpSocket* old = client_;
    client_ = nullptr;
    old->abort();
    old->deleteLater();
}

} // namespace rwsim
