#include "scan/LanScan.h"

#include "bridge/BridgeEndpoint.h"
#include "core/bridge/BridgeDatagram.h"
#include "core/bridge/BridgeSpeed.h"
#include "link/NetworkGuard.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"

#include <QEventLoop>
#include <QRunnable>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <map>

namespace {

// The modules answer within milliseconds; a second after the last question is generous.
constexpr int kReplyLimitMs = 1000;
// A R/W that does not take the connection within this is not there.
constexpr std::int32_t kConnectLimitMs = 2000;

// Every datagram on the port, whoever sent it: the search asked everyone.
class SweepListener final : public BridgeEndpoint::Client {
public:
    void DatagramArrived(const QByteArray& datagram, const QHostAddress& sender) override {
        const std::span<const std::uint8_t> bytes(
            reinterpret_cast<const std::uint8_t*>(datagram.constData()),
            static_cast<std::size_t>(datagram.size()));
        // Only replies count: a request (ours, heard back when the range holds this PC's own
        // address, or another program's) is no bridge module.
        const bool record = bytes.size() >= tessaly::kSetupReplyLength &&
                            bytes[tessaly::kBridgeCodeOffset] == tessaly::kBridgeReadSetup;
        const auto version = record ? std::nullopt : tessaly::DecodeBridgeVersion(bytes);
        if (!record && !version)
            return;
        ScanFinding& found = answers[sender.toIPv4Address()];
        found.address = sender.toString();
        if (record)
            found.bridgeBps = tessaly::BridgeBpsForCode(bytes[tessaly::kSpeedByteInDatagram]);
        else
            found.mac = QString::fromLatin1(version->mac);
        if (answered)
            answered();
    }
    bool Complete(const ScanRange& range) const {
        if (answers.size() < range.Count())
            return false;
        for (const auto& [address, found] : answers)
            if (found.mac.isEmpty() || found.bridgeBps == 0)
                return false;
        return true;
    }
    std::map<std::uint32_t, ScanFinding> answers;
    std::function<void()> answered; // after each reply taken
};

std::optional<QString> SweepBridges(const ScanSetup& setup, SweepListener& listener) {
    BridgeEndpoint& endpoint = BridgeEndpoint::OfProcess();
    const QHostAddress bind = setup.bindAddress.isEmpty() ? QHostAddress(QHostAddress::AnyIPv4)
                                                          : QHostAddress(setup.bindAddress);
    QObject mailbox;
    endpoint.Attach(listener, mailbox, bind);
    // The whole sweep is one exchange: its requests go out together and their replies come
    // within the reply limit.
    if (!endpoint.BeginExchange(listener, TFlashWrRXCont::kBridgeTurnLimitMs)) {
        endpoint.Detach(listener);
        return QStringLiteral("another program keeps the bridge port busy");
    }
    for (std::uint32_t i = 0; i < setup.range.Count(); ++i) {
        const QHostAddress to(setup.range.first + i);
        for (const std::uint8_t code : {tessaly::kBridgeReadSetup, tessaly::kBridgeVersionQuery}) {
            const std::vector<std::uint8_t> datagram = tessaly::BridgeDatagram(code);
            if (!endpoint.Send(listener, to,
                               QByteArray(reinterpret_cast<const char*>(datagram.data()),
                                          static_cast<qsizetype>(datagram.size()))) &&
                i == 0) {
                endpoint.Detach(listener);
                return QStringLiteral("the bridge port cannot be bound on %1")
                    .arg(setup.bindAddress.isEmpty() ? QStringLiteral("this PC")
                                                     : setup.bindAddress);
            }
        }
    }
    // Until every address has answered both questions, or the reply limit: the replies arrive
    // through this thread's event loop.
    QEventLoop loop;
    listener.answered = [&] {
        if (listener.Complete(setup.range))
            loop.quit();
    };
    QTimer::singleShot(kReplyLimitMs, &loop, &QEventLoop::quit);
    if (!listener.Complete(setup.range))
        loop.exec();
    listener.answered = nullptr;
    endpoint.Detach(listener);
    return std::nullopt;
}

// The connection procedure's questions, without its bridge speed change: the R/W answers or
// it does not.
class AskReader final : public QRunnable {
public:
    AskReader(ScanFinding& found, int tcpPort) : found_(found), tcpPort_(tcpPort) {}
    void run() override {
        tagOptionPara option;
        TFlashWrRXCont link(QtLinkEnvironment::Instance(), nullptr, option, {});
        link.TCPIPPara.TCPServAddr = found_.address;
        link.TCPIPPara.TCPServPort = tcpPort_;
        link.ConnectTimeoutMs = kConnectLimitMs;
        if (link.OpenLink() && link.CheckReader() == 1) {
            found_.readerAnswered = true;
            found_.romVersion = link.RomVersionText();
            if (link.GetChipVersion(0))
                found_.chipVersion = link.ChipVersionText();
        }
        link.CloseLink();
    }

private:
    ScanFinding& found_;
    int tcpPort_;
};

} // namespace

std::optional<QString> RunLanScan(const ScanSetup& setup, std::vector<ScanFinding>& findings) {
    findings.clear();
    // Every address is looked at before the first datagram: a search that may not reach one of
    // them sends nothing at all.
    for (std::uint32_t i = 0; i < setup.range.Count(); ++i)
        if (!NetworkGuard::Allows(setup.range.Address(i)))
            return NetworkGuard::RefusalText(setup.range.Address(i));
    SweepListener listener;
    if (auto problem = SweepBridges(setup, listener))
        return problem;
    for (auto& [address, found] : listener.answers)
        if (address >= setup.range.first && address <= setup.range.last)
            findings.push_back(found);
    QThreadPool askers;
    askers.setMaxThreadCount(std::max(1, setup.jobs));
    for (ScanFinding& found : findings) {
        // Behind a module at another speed the R/W cannot understand a question: it is not
        // asked (and the search does not wait out its silence).
        if (found.bridgeBps != 0 && found.bridgeBps != tessaly::kReaderBridgeBps)
            continue;
        auto* task = new AskReader(found, setup.tcpPort);
        task->setAutoDelete(true);
        askers.start(task);
    }
    askers.waitForDone();
    return std::nullopt;
}
