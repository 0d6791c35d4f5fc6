#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QMutex>
#include <QString>

#include <functional>
#include <map>
#include <memory>

class QLockFile;
class QObject;
class QThread;
class QUdpSocket;

// The process's end of the bridge modules' configuration port, UDP 30718: one socket per local
// address it is bound to, used by every bridge operation the process runs at the same time (one
// per device being updated). A socket is bound without sharing, so another program can never
// take datagrams meant for us; each datagram goes to the operations that asked its sender, and
// one that nobody asked goes to all of them, each of which ignores it aloud. The sockets live on
// a thread of their own, so runs on any thread can use them.
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

    // Gives `client` the port on `bindAddress`, binding it if no other client has it. False when
    // it cannot be bound (another program holds it). `context` must outlive the attachment and
    // live on the thread that is to receive the datagrams.
    bool Attach(Client& client, QObject& context, const QHostAddress& bindAddress);
    // Lets go of the port; the last client to go unbinds it. Nothing is delivered afterwards.
    void Detach(Client& client);
    bool IsAttached(const Client& client) const;
    // Sends from the client's port and makes `to` the sender the client hears. False when the
    // client is not attached or the datagram did not go out.
    bool Send(Client& client, const QHostAddress& to, const QByteArray& datagram);

    // The bridge exchange is taken in turns by the programs of this PC that bind the same
    // address: a lock file held while any exchange of this process on it is running. False
    // while another program has its turn; the caller tries again.
    bool TryTakeTurn(const QHostAddress& bindAddress);
    void EndTurn(const QHostAddress& bindAddress);

    // Where the turn lock for `bindAddress` lives: the per-user runtime folder.
    static QString TurnLockFileName(const QHostAddress& bindAddress);

private:
    struct Port;
    struct Registration {
        QObject* context = nullptr;
        QString portKey;
        QHostAddress peer;
    };
    struct Turn;

    void ReadPending(const QString& portKey, QUdpSocket& socket);
    // Runs `work` on the sockets' thread and returns when it is done.
    void OnSocketThread(const std::function<void()>& work);
    void StartSocketThread();
    void StopSocketThread();

    // Held across Attach / Detach, which change the sockets; never taken on the socket thread.
    QMutex setupMutex_;
    // Guards the registrations and the port table, taken briefly from every thread.
    mutable QMutex routeMutex_;
    std::map<QString, std::unique_ptr<Port>> ports_;
    std::map<const Client*, Registration> clients_;
    QMutex turnMutex_;
    std::map<QString, std::unique_ptr<Turn>> turns_;
    std::unique_ptr<QThread> thread_;
    QObject* host_ = nullptr;
};
