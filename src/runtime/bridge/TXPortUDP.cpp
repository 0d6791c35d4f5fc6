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
    // Detached before the mailbox goes, so nothing can be posted to it any more.
    endpoint_.Detach(*this);
    IsBound = false;
}

void TXPortUDP::AddLog(const QString& text) {
    WriteLogLine(logMemo_, text, !Quiet, owner_.fDispDebugInfo != 0);
}

bool TXPortUDP::Bind(bool reportFailure) {
    if (!endpoint_.Attach(*this, mailbox_, BindAddress)) {
        if (reportFailure)
            AddLog(BridgeTexts::kBindError);
        return false;
    }
    IsBound = true;
    owner_.SleepMs(kBindSettleMs);
    return true;
}

bool TXPortUDP::Unbind() {
    // Letting go of a UDP port cannot fail here, unlike the component the module's tools used.
    endpoint_.Detach(*this);
    IsBound = false;
    return true;
}

bool TXPortUDP::EnsureBound(bool reportFailure) {
    return IsActive() || Bind(reportFailure);
}

bool TXPortUDP::IsActive() const {
    return endpoint_.IsAttached(*this);
}

void TXPortUDP::SendCommand(const QString& host, std::uint8_t code) {
    RxCount = 0;
    EnsureBound();
    Send(host, tessaly::BridgeDatagram(code));
}

void TXPortUDP::SendCommandWithData(const QString& host, std::uint8_t code, std::int32_t count,
                                    const std::uint8_t* data) {
    RxCount = 0;
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
    if (Trace)
        AddLog(QStringLiteral("TX: ") + Dump(datagram));
    const QByteArray bytes(reinterpret_cast<const char*>(datagram.data()),
                           static_cast<qsizetype>(datagram.size()));
    if (IsActive()) {
        endpoint_.Send(*this, peer_, bytes);
        return;
    }
    // The port could not be bound: send from any port all the same (the reply, addressed to
    // port 30718, will not reach us and the wait times out). A separate socket keeps the
    // endpoint free for a later bind.
    QUdpSocket oneShot;
    oneShot.writeDatagram(bytes, peer_, CurrentBridgePorts().remote);
}

bool TXPortUDP::WaitForReply(std::int32_t minLength) {
    owner_.StartTickTimer();
    if (owner_.WaitUntil([&] { return RxCount >= minLength; }, kReplyLimitMs))
        return true;
    AddLog(BridgeTexts::kReplyTimeout);
    return false;
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
