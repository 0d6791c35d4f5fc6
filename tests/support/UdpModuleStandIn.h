#pragma once

#include "support/TestAddresses.h"

#include <QByteArray>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <functional>
#include <vector>

// A scriptable UDP peer on a loopback address and the process's module port, for the cases the
// simulator does not play: datagrams of any size, bursts, strangers. It holds its port as the
// simulator does, without sharing.
class UdpModuleStandIn {
public:
    using Answer = std::function<void(const QNetworkDatagram& request)>;

    explicit UdpModuleStandIn(const QString& address = TestAddresses::Module()) {
        bound = socket.bind(QHostAddress(address), TestAddresses::ModuleBridgePort(),
                            QAbstractSocket::DontShareAddress);
        QObject::connect(&socket, &QUdpSocket::readyRead, &socket, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = socket.receiveDatagram();
                received.push_back(d.data());
                if (answer)
                    answer(d);
            }
        });
    }

    void ReplyTo(const QNetworkDatagram& request, const QByteArray& bytes) {
        socket.writeDatagram(bytes, request.senderAddress(),
                             static_cast<quint16>(request.senderPort()));
    }

    QUdpSocket socket;
    bool bound = false;
    std::vector<QByteArray> received;
    Answer answer;
};
