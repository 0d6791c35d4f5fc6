#include "link/TcpTransport.h"

#include "link/NetworkGuard.h"

#include <QHostAddress>
#include <QTimer>

TcpTransport::TcpTransport() {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] { NotifyReadable(); });
    QObject::connect(&socket_, &QTcpSocket::errorOccurred,
                     [this](QAbstractSocket::SocketError error) {
                         if (onError)
                             onError(static_cast<int>(error));
                     });
}

TcpTransport::~TcpTransport() {
    socket_.disconnect();
    socket_.abort();
}

void TcpTransport::NotifyReadable() {
    if (onReadyRead)
        onReadyRead();
    // A reader takes at most a slice per event; Qt announces buffered data only once, so the
    // rest is announced again from the event loop, like the next read event of a socket.
    if (socket_.bytesAvailable() > 0)
        QTimer::singleShot(0, &socket_, [this] {
            if (socket_.bytesAvailable() > 0)
                NotifyReadable();
        });
}

bool TcpTransport::ConnectTo(const QString& host, std::uint16_t port) {
    if (!NetworkGuard::Allows(host))
        return false;
    socket_.abort();
    socket_.connectToHost(host.trimmed(), port);
    return true;
}

void TcpTransport::Disconnect() {
    if (socket_.state() == QAbstractSocket::ConnectedState)
        socket_.disconnectFromHost();
    else
        socket_.abort();
}

bool TcpTransport::IsConnected() const {
    return socket_.state() == QAbstractSocket::ConnectedState;
}

std::int64_t TcpTransport::Write(const QByteArray& data) {
    std::int64_t n = socket_.write(data);
    if (n > 0)
        socket_.flush();
    return n;
}

std::int64_t TcpTransport::BytesAvailable() const { return socket_.bytesAvailable(); }

QByteArray TcpTransport::Read(std::int64_t maxBytes) { return socket_.read(maxBytes); }
