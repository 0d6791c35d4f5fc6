// Datagrams that arrive on the bridge port: the receive handler of the bridge endpoint (sender
// check, length, version reply) and what the speed change makes of the datagram kept (the
// setup record written back, the acceptance).
//
// Input: one selector byte (bit 0: from a stranger instead of the module asked; bits 1-3: the
// speed index written into the record, 5-7 being none the dialog offers), then the datagram.
#include "FuzzCheck.h"
#include "LinkFuzzRig.h"
#include "SeedCorpus.h"
#include "bridge/BridgeTexts.h"
#include "bridge/TXPortUDP.h"
#include "core/bridge/BridgeDatagram.h"
#include "core/bridge/BridgeSpeed.h"
#include "core/link/ByteDump.h"
#include "core/link/TargetDevice.h"
#include "rwsim/BridgeModule.h"
#include "rwsim/SimConfig.h"
#include "rwsim/Transcript.h"
#include "support/TestAddresses.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using Bytes = std::span<const std::uint8_t>;

// The endpoint and the module live on loopback addresses of this process alone (a test address
// slot), which neither a test run nor a demo beside the fuzzer ever meets.
struct Endpoint {
    Endpoint() : rig(tessaly::kKindRx231, kFuzzRomSizeCode), udp(rig.link, &rig.log) {
        module = QHostAddress(TestAddresses::Module());
        stranger = QHostAddress(TestAddresses::Stranger());
        // The endpoint hears only the module it last sent to, so it sends one request to an
        // address where nothing listens, and lets go of the port right away.
        udp.BindAddress = QHostAddress(TestAddresses::Tool());
        udp.SendCommand(module.toString(), tessaly::kBridgeReadSetup);
        udp.Unbind();
    }
    LinkFuzzRig rig;
    TXPortUDP udp;
    QHostAddress module;
    QHostAddress stranger;
};
Endpoint* endpoint = nullptr;

bool IsHexPair(QStringView text) {
    return text.size() == 2 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                      (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
           });
}

void CheckVersionShown(Bytes datagram, const TXPortUDP& udp, const ExchangeLog& log) {
    const auto version = tessaly::DecodeBridgeVersion(datagram);
    FUZZ_CHECK(version.has_value() == (datagram.size() >= tessaly::kVersionReplyMinLength &&
                                       datagram[3] == tessaly::kBridgeVersionReply));
    if (!version) {
        FUZZ_CHECK(udp.BridgeMacText.isEmpty() &&
                   log.lines.filter(BridgeTexts::kMacPrefix).isEmpty());
        return;
    }
    FUZZ_CHECK(version->id.size() == 2 &&
               static_cast<std::uint8_t>(version->id[0]) == datagram[8] &&
               static_cast<std::uint8_t>(version->id[1]) == datagram[9]);
    FUZZ_CHECK(version->firmware.size() == 3 && version->firmware[1] == '.');
    // "XX-XX-XX-XX-XX-XX": bytes 24-29 in hex.
    const QString& mac = udp.BridgeMacText;
    FUZZ_CHECK(mac.size() == 17);
    for (int i = 0; i < 6; ++i) {
        FUZZ_CHECK(IsHexPair(QStringView(mac).mid(3 * i, 2)));
        FUZZ_CHECK(mac.mid(3 * i, 2).toUInt(nullptr, 16) == datagram[24 + std::size_t(i)]);
        if (i < 5)
            FUZZ_CHECK(mac[3 * i + 2] == QLatin1Char('-'));
    }
    FUZZ_CHECK(log.Contains(BridgeTexts::kMacPrefix + mac));
    FUZZ_CHECK(log.Contains(BridgeTexts::kIdPrefix + QString::fromLatin1(version->id)));
}

// The record written back is the one received, byte for byte, with only the speed nibble
// replaced; a reply too short to hold a record gives none.
void CheckSpeedChange(Bytes kept, std::int32_t speedIndex) {
    const std::vector<std::uint8_t> record = tessaly::PatchedSetupRecord(kept, speedIndex);
    if (kept.size() < tessaly::kSetupReplyLength) {
        FUZZ_CHECK(record.empty());
    } else {
        FUZZ_CHECK(record.size() == tessaly::kSetupRecordLength);
        const Bytes sent = kept.subspan(tessaly::kBridgeHeaderLength, tessaly::kSetupRecordLength);
        for (std::size_t i = 0; i < record.size(); ++i)
            if (i != tessaly::kSpeedByteInRecord)
                FUZZ_CHECK(record[i] == sent[i]);
        const std::uint8_t speed = record[tessaly::kSpeedByteInRecord];
        FUZZ_CHECK((speed & 0xF0) == (sent[tessaly::kSpeedByteInRecord] & 0xF0));
        FUZZ_CHECK((speed & 0x0F) == tessaly::BridgeSpeedCode(speedIndex));
    }
    FUZZ_CHECK(tessaly::IsSetupAccepted(kept) ==
               (kept.size() >= tessaly::kBridgeHeaderLength &&
                kept[tessaly::kBridgeCodeOffset] == tessaly::kBridgeSetupAccepted));
}

constexpr std::uint8_t kStrangerBit = 0x01;
constexpr std::uint8_t kSpeed115200 = tessaly::kBridgeSpeed115200 << 1;
constexpr std::uint8_t kSpeed19200 = 1 << 1;

// The simulator's bridge module answers each request once, over loopback addresses of this
// process; its answers, as the endpoint would receive them, are the seeds.
void WriteBridgeSeedsIfAsked() {
    const QString folder = SeedFolder();
    if (folder.isEmpty())
        return;
    rwsim::Transcript transcript;
    rwsim::FaultPlan faults;
    rwsim::BridgeModule module(transcript, faults, 19200);
    QString error;
    const QHostAddress moduleAddress(TestAddresses::Address(12));
    FUZZ_CHECK(module.Listen(moduleAddress, 0, &error));
    QUdpSocket tool;
    FUZZ_CHECK(tool.bind(QHostAddress(TestAddresses::Address(11)), 0));
    const auto ask = [&](const std::vector<std::uint8_t>& request) {
        tool.writeDatagram(reinterpret_cast<const char*>(request.data()),
                           static_cast<qint64>(request.size()), moduleAddress, module.Port());
        const QDeadlineTimer deadline(1000);
        while (!tool.hasPendingDatagrams() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        FUZZ_CHECK(tool.hasPendingDatagrams());
        const QByteArray reply = tool.receiveDatagram().data();
        return std::vector<std::uint8_t>(reply.begin(), reply.end());
    };
    const auto record = ask(tessaly::BridgeDatagram(tessaly::kBridgeReadSetup));
    WriteSeedFile(folder, "setup-record", kSpeed19200, record);
    WriteSeedFile(folder, "setup-record-stranger", kSpeed115200 | kStrangerBit, record);
    const auto patched = tessaly::PatchedSetupRecord(record, tessaly::kBridgeSpeed115200);
    WriteSeedFile(folder, "setup-accepted", kSpeed115200,
                  ask(tessaly::BridgeDatagram(tessaly::kBridgeWriteSetup, patched)));
    WriteSeedFile(folder, "version", kSpeed115200, ask(tessaly::BridgeDatagram(0xF6)));
    std::printf("4 seeds written to %s\n", qPrintable(folder));
    std::exit(0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    StartFuzzProcess(argc, argv);
    WriteBridgeSeedsIfAsked();
    static Endpoint made;
    endpoint = &made;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const bool fromStranger = (data[0] & kStrangerBit) != 0;
    const std::int32_t speedIndex = (data[0] >> 1) & 0x07;
    const Bytes datagram(data + 1, size - 1);
    TXPortUDP& udp = endpoint->udp;
    ExchangeLog& log = endpoint->rig.log;
    // What a send does before every request: forget the last reply.
    udp.RxCount = 0;
    udp.BridgeMacText.clear();
    log.lines.clear();

    const QHostAddress& sender = fromStranger ? endpoint->stranger : endpoint->module;
    udp.IdUDPServer1UDPRead(datagram, sender);

    if (fromStranger) {
        FUZZ_CHECK(udp.RxCount == 0 && udp.Received().empty() && udp.BridgeMacText.isEmpty());
        FUZZ_CHECK(log.lines == QStringList{BridgeTexts::kForeignSender + sender.toString()});
        return 0;
    }
    // The whole length is counted, at most the buffer's worth kept.
    FUZZ_CHECK(udp.RxCount == static_cast<std::int32_t>(datagram.size()));
    const Bytes kept = udp.Received();
    FUZZ_CHECK(kept.size() == std::min(datagram.size(), TXPortUDP::kRxBufferSize));
    FUZZ_CHECK(std::equal(kept.begin(), kept.end(), datagram.begin()));
    CheckVersionShown(datagram, udp, log);
    CheckSpeedChange(kept, speedIndex);
    return 0;
}
