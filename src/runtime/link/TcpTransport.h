#pragma once

#include "link/LinkEnvironment.h"

#include <QTcpSocket>

// The R/W connection over QTcpSocket; events arrive on the UI thread's event loop.
class TcpTransport final : public ByteTransport {
public:
    TcpTransport();
    ~TcpTransport() override;

    bool ConnectTo(const QString& host, std::uint16_t port) override;
    void Disconnect() override;
    bool IsConnected() const override;
    std::int64_t Write(const QByteArray& data) override;
    std::int64_t BytesAvailable() const override;
    QByteArray Read(std::int64_t maxBytes) override;

private:
    void NotifyReadable();

    QTcpSocket socket_;
};
