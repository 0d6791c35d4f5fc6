#include "rwsim/RwSimulator.h"

namespace rwsim {

RwSimulator::RwSimulator(SimConfig config, QObject* parent)
    : QObject(parent), config_(std::move(config)),
      bridge_(transcript_, config_.faults, config_.bridgeBps,
              int(config_.address.toIPv4Address() & 0xFF)),
      serial_(transcript_, bridge_, config_.faults, config_.serialTiming),
      mcu_(config_, transcript_,
           {[this](std::vector<std::uint8_t> bytes, int busyUs) {
                serial_.Transmit(std::move(bytes), busyUs);
            },
            [this] { serial_.DropClient(QStringLiteral("power lost")); },
            [this] { DumpFlash(); }}) {
    serial_.SetPeer(&mcu_);
    connect(&bridge_, &BridgeModule::Restarted, this,
            [this] { serial_.DropClient(QStringLiteral("bridge module restarted")); });
}

RwSimulator::~RwSimulator() {
    DumpFlash();
}

bool RwSimulator::Start(QString* error) {
    if (!config_.address.isLoopback()) {
        *error = QStringLiteral("%1 is not a loopback address; the simulator binds only "
                                "127.0.0.0/8 or ::1")
                     .arg(config_.address.toString());
        return false;
    }
    if (!config_.transcriptFile.isEmpty() && !transcript_.Open(config_.transcriptFile)) {
        *error = QStringLiteral("cannot write the transcript %1").arg(config_.transcriptFile);
        return false;
    }
    if (!config_.flashFile.isEmpty() && !mcu_.Flash().Load(config_.flashFile, error))
        return false;
    if (!bridge_.Listen(config_.address, config_.udpPort, error) ||
        !serial_.Listen(config_.address, config_.tcpPort, error))
        return false;
    transcript_.Event("listen", QStringLiteral("%1 UDP %2 TCP %3")
                                    .arg(config_.address.toString())
                                    .arg(UdpPort())
                                    .arg(TcpPort()));
    mcu_.PowerOn();
    return true;
}

void RwSimulator::DumpFlash() {
    if (config_.dumpFile.isEmpty())
        return;
    QString error;
    if (!mcu_.Flash().Dump(config_.dumpFile, &error))
        transcript_.Event("error", QStringLiteral("flash dump: %1").arg(error));
}

} // namespace rwsim
