#pragma once

#include "bridge/BridgeEndpoint.h"

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

class TFlashWrRXCont;
class LogSink;

// The bridge module's UDP configuration endpoint, alive for one bridge operation: port 30718 of
// every local IPv4 address (or of the one chosen), taken from the process's bridge endpoint for
// each request and its reply, and handed the datagrams of the module it asked. They are handled
// on the owning controller's thread, while one of its waits runs the event loop.
class TXPortUDP final : public BridgeEndpoint::Client {
public:
    // `owner` supplies the event pump, the clock and the reply wait; lines go to `logMemo`.
    TXPortUDP(TFlashWrRXCont& owner, LogSink* logMemo,
              BridgeEndpoint& endpoint = BridgeEndpoint::OfProcess());
    ~TXPortUDP() override;
    TXPortUDP(const TXPortUDP&) = delete;
    TXPortUDP& operator=(const TXPortUDP&) = delete;

    // One line on the log pane, shown whatever the debug setting (the 1000-line rule applies).
    void AddLog(const QString& text);

    // Joins the users of port 30718 and lets it settle for 200 ms; always true (the port itself
    // is bound for each exchange).
    bool Bind();
    // Leaves the port; always true.
    bool Unbind();
    bool EnsureBound();
    bool IsActive() const;

    // Both forget the last reply first (RxCount 0) and begin an exchange: they wait for the
    // port's turn among the programs of this PC (the owner's BridgeTurnLimitMs; when it is not had,
    // nothing is sent, TurnMissed is set and the wait for the reply fails at once). They send even
    // when the port could not be bound ("接続エラー"); a send to a refused destination is logged
    // and does not leave the machine.
    void SendCommand(const QString& host, std::uint8_t code);
    void SendCommandWithData(const QString& host, std::uint8_t code, std::int32_t count,
                             const std::uint8_t* data);
    // Waits up to 1000 ms for one datagram of at least `minLength` bytes, and ends the exchange.
    bool WaitForReply(std::int32_t minLength);

    // The receive handler: keeps the datagram (its full length in RxCount, at most 1024 bytes
    // of it) and decodes version replies.
    void IdUDPServer1UDPRead(std::span<const std::uint8_t> datagram, const QHostAddress& sender);
    void DatagramArrived(const QByteArray& datagram, const QHostAddress& sender) override;

    // The bytes of the last datagram that were kept.
    std::span<const std::uint8_t> Received() const;

    static constexpr std::size_t kRxBufferSize = 1024;
    std::array<std::uint8_t, kRxBufferSize> RxBuffer{};
    std::int32_t RxCount = 0;
    bool IsBound = false;
    // An exchange of this operation went without its turn: nothing was sent.
    bool TurnMissed = false;
    QString BridgeMacText;
    // Logs every datagram sent and received as a byte dump.
    int Trace = 0;
    // Its lines become debug lines: a question of the program's own (the module's identity)
    // that the operator did not ask.
    bool Quiet = false;
    // Where port 30718 is bound: every local IPv4 address unless one is chosen.
    QHostAddress BindAddress{QHostAddress::AnyIPv4};

private:
    void Send(const QString& host, std::span<const std::uint8_t> datagram);
    bool BeginExchange();
    void EndExchange();

    TFlashWrRXCont& owner_;
    LogSink* logMemo_;
    BridgeEndpoint& endpoint_;
    // Datagrams are delivered to this object's thread, the controller's.
    QObject mailbox_;
    // Only the module that was asked may answer; set by every send.
    QHostAddress peer_;
    bool inExchange_ = false;
    bool exchangeMissed_ = false;
};
