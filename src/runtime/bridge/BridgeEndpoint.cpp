#include "bridge/BridgeEndpoint.h"

#include "bridge/BridgePortLock.h"
#include "bridge/BridgePorts.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QObject>
#include <QThread>
#include <QUdpSocket>

#include <vector>

struct BridgeEndpoint::Port {
    QString key;
    QHostAddress bindAddress;
    std::unique_ptr<QUdpSocket>
        socket; // bound during the turn; created and used on the socket thread
    int clients = 0;
    std::unique_ptr<BridgePortLock> lock; // the turn among the programs of this PC
    bool held = false;                    // this process has the turn
    bool taking = false;                  // one of its runs waits for the turn, for all of them
    bool contended = false;               // ... and another program has it
    bool handingOn = false;               // another program waits: no more exchanges join this turn
    int exchanges = 0;                    // in flight during the turn
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
    // Only reached at exit with a port still in use (the program ended inside an exchange).
    for (auto& [key, port] : ports_)
        OnSocketThread([&port = port] { port->socket.reset(); });
    StopSocketThread();
}

void BridgeEndpoint::Attach(Client& client, QObject& context, const QHostAddress& bindAddress) {
    QMutexLocker turn(&turnMutex_);
    if (IsAttached(client))
        return;
    const QString key = PortKey(bindAddress);
    StartSocketThread();
    QMutexLocker route(&routeMutex_);
    std::unique_ptr<Port>& port = ports_[key];
    if (!port) {
        port = std::make_unique<Port>();
        port->key = key;
        port->bindAddress = bindAddress;
        port->lock = std::make_unique<BridgePortLock>(TurnName(bindAddress));
    }
    ++port->clients;
    clients_[&client] = Registration{&context, key, QHostAddress(), false};
}

void BridgeEndpoint::Detach(Client& client) {
    EndExchange(client);
    QMutexLocker turn(&turnMutex_);
    QMutexLocker route(&routeMutex_);
    auto registration = clients_.find(&client);
    if (registration == clients_.end())
        return;
    auto port = ports_.find(registration->second.portKey);
    clients_.erase(registration);
    if (--port->second->clients > 0)
        return;
    // No exchange is left (each client ended its own), so the socket is closed already.
    ports_.erase(port);
    route.unlock();
    if (ports_.empty())
        StopSocketThread();
}

bool BridgeEndpoint::IsAttached(const Client& client) const {
    QMutexLocker route(&routeMutex_);
    return clients_.count(&client) != 0;
}

bool BridgeEndpoint::BeginExchange(Client& client, int limitMs,
                                   const std::function<void()>& waiting) {
    const QDeadlineTimer deadline(limitMs);
    QMutexLocker turn(&turnMutex_);
    Port* port = nullptr;
    {
        QMutexLocker route(&routeMutex_);
        auto registration = clients_.find(&client);
        if (registration == clients_.end())
            return false;
        if (registration->second.inExchange)
            return true;
        port = ports_.at(registration->second.portKey).get();
    }
    const auto join = [&] {
        ++port->exchanges;
        QMutexLocker route(&routeMutex_);
        clients_[&client].inExchange = true;
        return true;
    };
    bool said = false;
    const auto say = [&] {
        if (!said && waiting)
            waiting();
        said = true;
    };
    for (;;) {
        if (port->held && !port->handingOn) {
            // First come, first served: a program that asked before this exchange goes first.
            if (!port->lock->OthersWaiting())
                return join();
            port->handingOn = true;
        }
        if (!port->held && !port->taking) {
            // This run waits in the system's queue for every run of the process.
            port->taking = true;
            turn.unlock();
            bool taken = port->lock->Take(0);
            if (!taken) {
                turn.relock();
                port->contended = true;
                turnChanged_.wakeAll();
                turn.unlock();
                say();
                taken = port->lock->Take(int(deadline.remainingTime()));
            }
            turn.relock();
            port->taking = false;
            port->contended = false;
            turnChanged_.wakeAll();
            if (taken) {
                port->held = true;
                port->handingOn = false;
                BindForTurn(*port);
                return join();
            }
        } else if ((port->handingOn || port->contended) && !said) {
            turn.unlock();
            say();
            turn.relock();
            continue;
        } else if (!deadline.hasExpired()) {
            turnChanged_.wait(&turnMutex_, deadline);
        }
        if (deadline.hasExpired())
            return false;
    }
}

void BridgeEndpoint::EndExchange(Client& client) {
    QMutexLocker turn(&turnMutex_);
    Port* port = nullptr;
    {
        QMutexLocker route(&routeMutex_);
        auto registration = clients_.find(&client);
        if (registration == clients_.end() || !registration->second.inExchange)
            return;
        registration->second.inExchange = false;
        port = ports_.at(registration->second.portKey).get();
    }
    if (--port->exchanges == 0)
        EndTurn(*port);
}

void BridgeEndpoint::BindForTurn(Port& port) {
    OnSocketThread([&] {
        auto socket = std::make_unique<QUdpSocket>();
        // No sharing: a second socket on the same port would take some of our replies.
        if (!socket->bind(port.bindAddress, CurrentBridgePorts().local,
                          QAbstractSocket::DontShareAddress))
            return;
        QUdpSocket* bound = socket.get();
        QObject::connect(bound, &QUdpSocket::readyRead, bound,
                         [this, key = port.key, bound] { ReadPending(key, *bound); });
        QMutexLocker route(&routeMutex_);
        port.socket = std::move(socket);
    });
}

void BridgeEndpoint::EndTurn(Port& port) {
    OnSocketThread([&] {
        std::unique_ptr<QUdpSocket> closing;
        {
            QMutexLocker route(&routeMutex_);
            closing = std::move(port.socket);
        }
    });
    port.lock->Release();
    port.held = false;
    port.handingOn = false;
    turnChanged_.wakeAll();
}

bool BridgeEndpoint::Send(Client& client, const QHostAddress& to, const QByteArray& datagram) {
    QUdpSocket* socket = nullptr;
    {
        QMutexLocker route(&routeMutex_);
        auto registration = clients_.find(&client);
        if (registration == clients_.end() || !registration->second.inExchange)
            return false;
        socket = ports_.at(registration->second.portKey)->socket.get();
        if (!socket)
            return false;
        // Before the datagram leaves: the answer may be back before this call returns.
        registration->second.peer = to;
    }
    // The socket stays bound while this client's exchange lasts.
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

QString BridgeEndpoint::TurnName(const QHostAddress& bindAddress) {
    return QStringLiteral("tessaly-bridge-%1-%2")
        .arg(PortKey(bindAddress))
        .arg(CurrentBridgePorts().local);
}
