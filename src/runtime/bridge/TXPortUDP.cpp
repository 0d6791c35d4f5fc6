#include "bridge/TXPortUDP.h"

#include "bridge/BridgePorts.h"
#include "bridge/BridgeTexts.h"
#include "core/bridge/BridgeDatagram.h"
#include "core/link/ByteDump.h"
#include "link/LogSink.h"
#include "link/NetworkGuard.h"
#include "link/TFlashWrRXCont.h"

#include <QUdpSocket>

#include <algorithm>

namespace {

// The module answers within a few milliseconds; a second is generous on a busy LAN.
constexpr std::uint32_t kReplyLimitMs = 1000;
// Time the freshly bound port is given before the first datagram goes out.
constexpr std::uint32_t kBindSettleMs = 200;

QString Dump(std::span<const std::uint8_t> bytes) {
    return QString::fromStdString(tessaly::ByteDump(bytes));
}

} // namespace

TXPortUDP::TXPortUDP(TFlashWrRXCont& owner, LogSink* logMemo, BridgeEndpoint& endpoint)
    : owner_(owner), logMemo_(logMemo), endpoint_(endpoint) {}

TXPortUDP::~TXPortUDP() {
    // Detached (ending an exchange left open) before the mailbox goes, so nothing can be
    // posted to it any more.
    endpoint_.Detach(*this);
    IsBound = false;
}

void TXPortUDP::AddLog(const QString& text) {
    WriteLogLine(logMemo_, text, !Quiet, owner_.fDispDebugInfo != 0);
}

bool TXPortUDP::Bind() {
    endpoint_.Attach(*this, mailbox_, BindAddress);
    IsBound = true;
    owner_.SleepMs(kBindSettleMs);
    return true;
}

bool TXPortUDP::Unbind() {
    // Letting go of a UDP port cannot fail here, unlike the component the module's tools used.
    endpoint_.Detach(*this);
    inExchange_ = false;
    IsBound = false;
    return true;
}

bool TXPortUDP::EnsureBound() {
    return IsActive() || Bind();
}

bool TXPortUDP::IsActive() const {
    return endpoint_.IsAttached(*this);
}

void TXPortUDP::SendCommand(const QString& host, std::uint8_t code) {
    RxCount = 0;
    exchangeMissed_ = false;
    EnsureBound();
    Send(host, tessaly::BridgeDatagram(code));
}

void TXPortUDP::SendCommandWithData(const QString& host, std::uint8_t code, std::int32_t count,
                                    const std::uint8_t* data) {
    RxCount = 0;
    exchangeMissed_ = false;
    EnsureBound();
    const std::size_t n = (data && count > 0) ? static_cast<std::size_t>(count) : 0;
    Send(host, tessaly::BridgeDatagram(code, {data, n}));
}

void TXPortUDP::Send(const QString& host, std::span<const std::uint8_t> datagram) {
    peer_ = QHostAddress(host.trimmed());
    if (!NetworkGuard::Allows(host)) {
        AddLog(NetworkGuard::RefusalText(host));
        return;
    }
    if (!BeginExchange())
        return;
    if (Trace)
        AddLog(QStringLiteral("TX: ") + Dump(datagram));
    const QByteArray bytes(reinterpret_cast<const char*>(datagram.data()),
                           static_cast<qsizetype>(datagram.size()));
    if (endpoint_.Send(*this, peer_, bytes))
        return;
    // The port could not be bound (a program that does not take turns holds it): send from
    // any port all the same (the reply, addressed to port 30718, will not reach us and the wait
    // times out).
    AddLog(BridgeTexts::kBindError);
    QUdpSocket oneShot;
    oneShot.writeDatagram(bytes, peer_, CurrentBridgePorts().remote);
}

bool TXPortUDP::BeginExchange() {
    EndExchange(); // a request whose reply was never waited for
    inExchange_ = endpoint_.BeginExchange(*this, owner_.BridgeTurnLimitMs,
                                          [this] { AddLog(BridgeTexts::kWaitingForTurn); });
    exchangeMissed_ = !inExchange_;
    if (exchangeMissed_) {
        TurnMissed = true;
        AddLog(BridgeTexts::kTurnMissed);
    }
    return inExchange_;
}

void TXPortUDP::EndExchange() {
    if (inExchange_)
        endpoint_.EndExchange(*this);
    inExchange_ = false;
}

bool TXPortUDP::WaitForReply(std::int32_t minLength) {
    if (exchangeMissed_)
        return false;
    owner_.StartTickTimer();
    const bool answered = owner_.WaitUntil([&] { return RxCount >= minLength; }, kReplyLimitMs);
    EndExchange();
    if (!answered)
        AddLog(BridgeTexts::kReplyTimeout);
    return answered;
}

void TXPortUDP::DatagramArrived(const QByteArray& datagram, const QHostAddress& sender) {
    IdUDPServer1UDPRead({reinterpret_cast<const std::uint8_t*>(datagram.constData()),
                         static_cast<std::size_t>(datagram.size())},
                        sender);
}

void TXPortUDP::IdUDPServer1UDPRead(std::span<const std::uint8_t> datagram,
                                    const QHostAddress& sender) {
    // Any device on the LAN may talk to port 30718. Taking another module's setup record for
    // ours would write its settings into our module, so only the module asked is heard.
    if (peer_.isNull() || !sender.isEqual(peer_, QHostAddress::ConvertV4MappedToIPv4)) {
        AddLog(BridgeTexts::kForeignSender + sender.toString());
        return;
    }
    RxCount = static_cast<std::int32_t>(datagram.size());
    const std::size_t kept = std::min(datagram.size(), kRxBufferSize);
    std::copy_n(datagram.begin(), kept, RxBuffer.begin());
    if (Trace)
        AddLog(QStringLiteral("RX: ") + Dump(datagram.first(kept)));
    if (const auto version = tessaly::DecodeBridgeVersion(datagram)) {
        AddLog(BridgeTexts::kIdPrefix + QString::fromLatin1(version->id));
        AddLog(BridgeTexts::kFirmwarePrefix + QString::fromLatin1(version->firmware));
        BridgeMacText = QString::fromLatin1(version->mac);
        AddLog(BridgeTexts::kMacPrefix + BridgeMacText);
    }
}

std::span<const std::uint8_t> TXPortUDP::Received() const {
    const std::size_t kept =
        std::min(static_cast<std::size_t>(std::max(RxCount, 0)), kRxBufferSize);
    return {RxBuffer.data(), kept};
}
