#include "bridge/BridgeEndpoint.h"

#include "bridge/BridgePorts.h"
#include "core/bridge/BridgeDatagram.h"

#include <QDir>
#include <QLockFile>
#include <QNetworkDatagram>
#include <QObject>
#include <QThread>
#include <QUdpSocket>

#include <vector>

struct BridgeEndpoint::Port {
    std::unique_ptr<QUdpSocket> socket; // created, used and deleted on the socket thread
    int clients = 0;
};

struct BridgeEndpoint::Turn {
    std::unique_ptr<QLockFile> lock;
    int exchanges = 0;
};

namespace {

QString PortKey(const QHostAddress& bindAddress) {
    return bindAddress == QHostAddress(QHostAddress::AnyIPv4) ? QStringLiteral("any")
                                                              : bindAddress.toString();
}

} // namespace

BridgeEndpoint& BridgeEndpoint::OfProcess() {
    static BridgeEndpoint endpoint;
    return endpoint;
}

BridgeEndpoint::BridgeEndpoint() = default;

BridgeEndpoint::~BridgeEndpoint() {
    // Only reached at exit with a port still bound (the program ended inside an exchange).
    for (auto& [key, port] : ports_)
        OnSocketThread([&port = port] { port->socket.reset(); });
    StopSocketThread();
}

bool BridgeEndpoint::Attach(Client& client, QObject& context, const QHostAddress& bindAddress) {
    QMutexLocker setup(&setupMutex_);
    if (IsAttached(client))
        return true;
    const QString key = PortKey(bindAddress);
    Port* port = nullptr;
    {
        QMutexLocker route(&routeMutex_);
        auto found = ports_.find(key);
        if (found != ports_.end())
            port = found->second.get();
    }
    if (!port) {
        StartSocketThread();
        auto fresh = std::make_unique<Port>();
        bool bound = false;
        OnSocketThread([&] {
            fresh->socket = std::make_unique<QUdpSocket>();
            // No sharing: a second socket on the same port would take some of our replies.
            bound = fresh->socket->bind(bindAddress, CurrentBridgePorts().local,
                                        QAbstractSocket::DontShareAddress);
            if (!bound) {
                fresh->socket.reset();
                return;
            }
            QUdpSocket* socket = fresh->socket.get();
            QObject::connect(socket, &QUdpSocket::readyRead, socket,
                             [this, key, socket] { ReadPending(key, *socket); });
        });
        if (!bound) {
            if (ports_.empty())
                StopSocketThread();
            return false;
        }
        QMutexLocker route(&routeMutex_);
        port = ports_.emplace(key, std::move(fresh)).first->second.get();
    }
    QMutexLocker route(&routeMutex_);
    ++port->clients;
    clients_[&client] = Registration{&context, key, QHostAddress()};
    return true;
}

void BridgeEndpoint::Detach(Client& client) {
    QMutexLocker setup(&setupMutex_);
    std::unique_ptr<Port> closing;
    {
        QMutexLocker route(&routeMutex_);
        auto registration = clients_.find(&client);
        if (registration == clients_.end())
            return;
        auto port = ports_.find(registration->second.portKey);
        clients_.erase(registration);
        if (--port->second->clients == 0) {
            closing = std::move(port->second);
            ports_.erase(port);
        }
    }
    if (!closing)
        return;
    OnSocketThread([&] { closing->socket.reset(); });
    if (ports_.empty())
        StopSocketThread();
}

bool BridgeEndpoint::IsAttached(const Client& client) const {
    QMutexLocker route(&routeMutex_);
    return clients_.count(&client) != 0;
}

bool BridgeEndpoint::Send(Client& client, const QHostAddress& to, const QByteArray& datagram) {
    QUdpSocket* socket = nullptr;
    {
        QMutexLocker route(&routeMutex_);
        auto registration = clients_.find(&client);
        if (registration == clients_.end())
            return false;
        // Before the datagram leaves: the answer may be back before this call returns.
        registration->second.peer = to;
        socket = ports_.at(registration->second.portKey)->socket.get();
    }
    qint64 written = -1;
    OnSocketThread(
        [&] { written = socket->writeDatagram(datagram, to, CurrentBridgePorts().remote); });
    return written == datagram.size();
}

void BridgeEndpoint::ReadPending(const QString& portKey, QUdpSocket& socket) {
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram received = socket.receiveDatagram();
        const QByteArray data = received.data();
        const QHostAddress sender = received.senderAddress();
        QMutexLocker route(&routeMutex_);
        std::vector<std::pair<Client*, QObject*>> askedIt;
        std::vector<std::pair<Client*, QObject*>> onPort;
        for (auto& [client, registration] : clients_) {
            if (registration.portKey != portKey)
                continue;
            onPort.emplace_back(const_cast<Client*>(client), registration.context);
            if (!registration.peer.isNull() &&
                sender.isEqual(registration.peer, QHostAddress::ConvertV4MappedToIPv4))
                askedIt.emplace_back(const_cast<Client*>(client), registration.context);
        }
        // Posted while the registration is held: a client detaches (and then deletes its
        // context, which drops what is still queued for it) only under the same lock.
        for (const auto& [client, context] : askedIt.empty() ? onPort : askedIt)
            QMetaObject::invokeMethod(
                context, [client = client, data, sender] { client->DatagramArrived(data, sender); },
                Qt::QueuedConnection);
    }
}

void BridgeEndpoint::OnSocketThread(const std::function<void()>& work) {
    if (QThread::currentThread() == thread_.get())
        work();
    else
        QMetaObject::invokeMethod(host_, work, Qt::BlockingQueuedConnection);
}

void BridgeEndpoint::StartSocketThread() {
    if (thread_)
        return;
    thread_ = std::make_unique<QThread>();
    thread_->setObjectName(QStringLiteral("bridge-endpoint"));
    host_ = new QObject;
    host_->moveToThread(thread_.get());
    thread_->start();
}

void BridgeEndpoint::StopSocketThread() {
    if (!thread_)
        return;
    thread_->quit();
    thread_->wait();
    delete host_;
    host_ = nullptr;
    thread_.reset();
}

bool BridgeEndpoint::TryTakeTurn(const QHostAddress& bindAddress) {
    QMutexLocker lock(&turnMutex_);
    std::unique_ptr<Turn>& turn = turns_[PortKey(bindAddress)];
    if (!turn)
        turn = std::make_unique<Turn>();
    if (turn->exchanges == 0) {
        auto file = std::make_unique<QLockFile>(TurnLockFileName(bindAddress));
        // Only a holder that has died makes the lock stale: a fleet can hold it for minutes.
        file->setStaleLockTime(0);
        if (!file->tryLock(0))
            return false;
        turn->lock = std::move(file);
    }
    ++turn->exchanges;
    return true;
}

void BridgeEndpoint::EndTurn(const QHostAddress& bindAddress) {
    QMutexLocker lock(&turnMutex_);
    auto turn = turns_.find(PortKey(bindAddress));
    if (turn == turns_.end() || turn->second->exchanges == 0)
        return;
    if (--turn->second->exchanges == 0)
        turn->second->lock.reset(); // unlocks and removes the file
}

QString BridgeEndpoint::TurnLockFileName(const QHostAddress& bindAddress) {
    // Not QStandardPaths: without XDG_RUNTIME_DIR it warns on standard error, and a CLI's
    // output is read by scripts.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("tessaly-bridge-%1-%2.lock")
                                     .arg(PortKey(bindAddress))
                                     .arg(CurrentBridgePorts().local));
}
