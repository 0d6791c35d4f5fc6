#pragma once

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

#include <array>
#include <cstdint>

namespace rwsim {

class Transcript;
struct FaultPlan;

// The serial-to-Ethernet bridge module's configuration side: a 120-byte setup record read
// and written over UDP. The low nibble of record byte 17 is the serial speed code.
class BridgeModule : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecordSize = 120;
    static constexpr std::uint8_t kReadRecord = 0xF8;
    static constexpr std::uint8_t kWriteRecord = 0xFD;
    static constexpr std::uint8_t kRecordStored = 0xFB;
    static constexpr std::uint8_t kVersionQuery = 0xF6;
    static constexpr std::uint8_t kVersionReply = 0xF7;

    // `seed` makes the opaque part of the record differ between simulated modules, so that a
    // record written into the wrong one shows.
    BridgeModule(Transcript& transcript, const FaultPlan& faults, int serialBps, int seed = 0,
                 QObject* parent = nullptr);

    bool Listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 Port() const { return socket_.localPort(); }

    const std::array<std::uint8_t, kRecordSize>& Record() const { return record_; }

    // Serial speed in bit/s from the record; 0 for a code no speed belongs to.
    int SerialBps() const;

    static std::uint8_t CodeForBps(int bps); // 0xF for a speed without a code

Q_SIGNALS:
    // A new record was stored: the module restarts with its serial speed and drops its TCP
    // connection.
    void Restarted();

private:
    void ReadPending();
    void Handle(const QByteArray& datagram, const QHostAddress& sender, quint16 senderPort);
    void Reply(const QByteArray& bytes, const QHostAddress& to, quint16 port);

    Transcript& transcript_;
    const FaultPlan& faults_;
    QUdpSocket socket_;
    QHostAddress address_;
    std::array<std::uint8_t, kRecordSize> record_{};
};

} // namespace rwsim
