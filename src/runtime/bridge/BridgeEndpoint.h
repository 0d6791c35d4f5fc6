#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <functional>
#include <map>
#include <memory>

class QObject;
class QThread;
class QUdpSocket;

// The process's end of the bridge modules' configuration port, UDP 30718: one socket per local
// address, used by every bridge operation the process runs at the same time (one per device
// being updated). The programs of this PC that use the same address take the port in turns,
// and a turn lasts only while datagrams are in flight: a request and its reply. While this
// process has the turn, every one of its operations with a datagram to send shares it, unless
// another program is waiting, which then comes first. The socket is bound for the turn alone,
// without sharing, so another program can never take datagrams meant for us; each datagram
// goes to the operations that asked its sender, and one that nobody asked goes to all of them,
// each of which ignores it aloud. The sockets live on a thread of their own, so runs on any
// thread can use them.
class BridgeEndpoint {
public:
    // A bridge operation's mailbox. Datagrams are handed to it on the thread of the context
    // object it was attached with, while that thread handles events.
    class Client {
    public:
        virtual ~Client() = default;
        virtual void DatagramArrived(const QByteArray& datagram, const QHostAddress& sender) = 0;
    };

    static BridgeEndpoint& OfProcess();

    BridgeEndpoint();
    ~BridgeEndpoint();
    BridgeEndpoint(const BridgeEndpoint&) = delete;
    BridgeEndpoint& operator=(const BridgeEndpoint&) = delete;

    // Makes `client` a user of the port on `bindAddress`. `context` must outlive the attachment
    // and live on the thread that is to receive the datagrams.
    void Attach(Client& client, QObject& context, const QHostAddress& bindAddress);
    // Ends the client's exchange, if any, and its use of the port. Nothing is delivered
    // afterwards.
    void Detach(Client& client);
    bool IsAttached(const Client& client) const;

    // A request and its reply: waits up to `limitMs` for the port's turn (`waiting` is called
    // once if it has to wait) and binds the port for it. False when the turn was not had: the
    // client must not send. Ended by EndExchange, which lets the turn go with the last exchange
    // of the process.
    bool BeginExchange(Client& client, int limitMs, const std::function<void()>& waiting = {});
    void EndExchange(Client& client);
    // Sends from the client's port (inside its exchange) and makes `to` the sender the client
    // hears. False when the port could not be bound (a program that does not take turns holds
    // it) or the datagram did not go out.
    bool Send(Client& client, const QHostAddress& to, const QByteArray& datagram);

    // The name of the turn among programs for the port on `bindAddress`.
    static QString TurnName(const QHostAddress& bindAddress);

private:
    struct Port;
    struct Registration {
        QObject* context = nullptr;
        QString portKey;
        QHostAddress peer;
        bool inExchange = false;
    };

    void ReadPending(const QString& portKey, QUdpSocket& socket);
    // The turn's start and end for the process, with turnMutex_ held.
    void BindForTurn(Port& port);
    void EndTurn(Port& port);
    // Runs `work` on the sockets' thread and returns when it is done.
    void OnSocketThread(const std::function<void()>& work);
    void StartSocketThread();
    void StopSocketThread();

    // Held across Attach / Detach and across a turn's start and end, which change the sockets;
    // never taken on the socket thread. The turn waits on it.
    QMutex turnMutex_;
    QWaitCondition turnChanged_;
    // Guards the registrations and the port table, taken briefly from every thread.
    mutable QMutex routeMutex_;
    std::map<QString, std::unique_ptr<Port>> ports_;
    std::map<const Client*, Registration> clients_;
    std::unique_ptr<QThread> thread_;
    QObject* host_ = nullptr;
};
