#pragma once

#include "rwsim/WireQueue.h"

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdint>
#include <vector>

namespace rwsim {

class BridgeModule;
class SerialPeer;
class Transcript;
struct FaultPlan;

// The TCP side of the bridge module: one client at a time, its bytes passed to the
// microcontroller's serial line and the microcontroller's bytes passed back. A byte crosses
// only when the bridge and the microcontroller run at the same speed; otherwise it is
// garbled, which here means lost (and recorded).
class SerialLine : public QObject {
public:
    SerialLine(Transcript& transcript, const BridgeModule& bridge, const FaultPlan& faults,
               bool timed, QObject* parent = nullptr);
    ~SerialLine() override;

    bool Listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 Port() const { return server_.serverPort(); }
    void SetPeer(SerialPeer* peer) { peer_ = peer; }

    // Bytes from the microcontroller at its current speed, after `busyUs` of work (a page
    // being programmed, a block being erased) when serial timing is on.
    void Transmit(std::vector<std::uint8_t> bytes, int busyUs = 0);
    // The module restarts or loses power: the TCP connection closes, bytes on the wire are
    // lost.
    void DropClient(const QString& reason);
    bool HasClient() const;

private:
    void Accept();
    void ReadClient();
    void Deliver(const std::vector<std::uint8_t>& bytes);

    Transcript& transcript_;
    const BridgeModule& bridge_;
    const FaultPlan& faults_;
    SerialPeer* peer_ = nullptr;
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    // Bytes from the client not yet on the serial wire. A bridge holds only so many; beyond
    // that a flooding client loses bytes instead of growing the queue without end.
    static constexpr std::size_t kBufferBytes = 65536;
    std::size_t backlog_ = 0;
    WireQueue toDevice_;
    WireQueue fromDevice_;
};

} // namespace rwsim
