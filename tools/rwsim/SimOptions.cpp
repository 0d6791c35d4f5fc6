#include "rwsim/SimOptions.h"

namespace rwsim {

namespace {

const QString kAddress = QStringLiteral("address");
const QString kUdpPort = QStringLiteral("udp-port");
const QString kTcpPort = QStringLiteral("tcp-port");
const QString kKind = QStringLiteral("kind");
const QString kRomSize = QStringLiteral("rom-size");
const QString kRomVersion = QStringLiteral("rom-version");
const QString kChipVersion = QStringLiteral("chip-version");
const QString kNewRomVersion = QStringLiteral("new-rom-version");
const QString kChipStays = QStringLiteral("chip-stays");
const QString kBoot = QStringLiteral("boot");
const QString kIdCode = QStringLiteral("id-code");
const QString kBridgeBps = QStringLiteral("bridge-bps");
const QString kFlash = QStringLiteral("flash");
const QString kDump = QStringLiteral("dump");
const QString kTranscript = QStringLiteral("transcript");
const QString kReady = QStringLiteral("ready-file");
const QString kTimeLimit = QStringLiteral("time-limit");
const QString kTiming = QStringLiteral("serial-timing");
const QString kPageUs = QStringLiteral("page-us");
const QString kEraseUs = QStringLiteral("erase-us-per-4k");
const QString kRefusePage = QStringLiteral("refuse-page");
const QString kDropAfter = QStringLiteral("drop-after-pages");
const QString kRefuseErase = QStringLiteral("refuse-erase-block");
const QString kDropDuringErase = QStringLiteral("drop-during-erase");
const QString kSilentRom = QStringLiteral("silent-rom-after-update");
const QString kSilentUdp = QStringLiteral("silent-udp");
const QString kNoFb = QStringLiteral("no-fb");
const QString kWrongCrc = QStringLiteral("wrong-crc");
const QString kRefuseDevice = QStringLiteral("refuse-device-select");
const QString kRefuseId = QStringLiteral("refuse-id-code");
const QString kSilentChip = QStringLiteral("silent-chip");
const QString kGarble = QStringLiteral("garble-replies");
const QString kDevices = QStringLiteral("devices");
const QString kFaultDevice = QStringLiteral("fault-device");

// A fleet of simulated R/Ws is bounded like the fleet update that meets it.
constexpr int kMaxDevices = 1024;

bool ReadInt(const QCommandLineParser& p, const QString& name, int min, int max, int& out,
             QString* error) {
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const int value = p.value(name).toInt(&ok);
    if (!ok || value < min || value > max) {
        *error = QStringLiteral("--%1 wants a number from %2 to %3").arg(name).arg(min).arg(max);
        return false;
    }
    out = value;
    return true;
}

bool ReadText(const QCommandLineParser& p, const QString& name, int length, QByteArray& out,
              QString* error) {
    if (!p.isSet(name))
        return true;
    const QByteArray value = p.value(name).toLatin1();
    if (value.size() != length) {
        *error = QStringLiteral("--%1 wants exactly %2 characters").arg(name).arg(length);
        return false;
    }
    out = value;
    return true;
}

} // namespace

SimOptions::SimOptions() {
    parser_.setApplicationDescription(QStringLiteral(
        "Plays a R/W for Tessaly over loopback: the bridge module's UDP configuration, the TCP\n"
        "serial line through the bridge, the R/W firmware and the microcontroller's boot\n"
        "program with its flash. Binds only loopback addresses and exits by itself after its\n"
        "time limit."));
    parser_.addHelpOption();
    parser_.addVersionOption();
    const auto value = [&](const QString& name, const QString& help, const QString& valueName) {
        parser_.addOption(QCommandLineOption(name, help, valueName));
    };
    const auto flag = [&](const QString& name, const QString& help) {
        parser_.addOption(QCommandLineOption(name, help));
    };
    value(kAddress, QStringLiteral("Loopback address to bind (default 127.0.0.2)."),
          QStringLiteral("ip"));
    value(kUdpPort, QStringLiteral("Bridge module UDP port (default 30718; 0 = any free)."),
          QStringLiteral("port"));
    value(kTcpPort, QStringLiteral("Serial line TCP port (default 9004; 0 = any free)."),
          QStringLiteral("port"));
    value(kKind,
          QStringLiteral("Microcontroller: rx231 (device code 8a02), rx630 (7505) or rx63t "
                         "(7n05) (default rx231)."),
          QStringLiteral("kind"));
    value(kRomSize,
          QStringLiteral("ROM-size code as in the tool's ROM-size list (default 11 = 256 KB; "
                         "13 = 384 KB, the smallest RX63x part whose blocks 0-29 all exist)."),
          QStringLiteral("code"));
    value(kRomVersion, QStringLiteral("ROM version, 9 characters (default 1.00A0001)."),
          QStringLiteral("text"));
    value(kChipVersion, QStringLiteral("CHIP version, 9 characters (default 1.00C0001)."),
          QStringLiteral("text"));
    value(kNewRomVersion,
          QStringLiteral("ROM version after a completed programming, 9 characters "
                         "(default 1.01A0002)."),
          QStringLiteral("text"));
    flag(kChipStays, QStringLiteral("Sub-command 0x9D leaves the CHIP version as it is "
                                    "(by default it becomes the ROM version)."));
    flag(kBoot, QStringLiteral("Start in the boot program, as after a failed update."));
    value(kIdCode, QStringLiteral("Protect the flash with this 16-character ID code."),
          QStringLiteral("text"));
    value(kBridgeBps,
          QStringLiteral("Bridge serial speed at power-up: 9600, 19200, 38400, 57600 or "
                         "115200 (default 115200)."),
          QStringLiteral("bps"));
    value(kFlash, QStringLiteral("Initial flash: a raw image from the flash's base address."),
          QStringLiteral("file"));
    value(kDump,
          QStringLiteral("Write the flash as a raw image here after every restart and "
                         "on exit."),
          QStringLiteral("file"));
    value(kTranscript, QStringLiteral("Write every byte and event here, one JSON object per line."),
          QStringLiteral("file"));
    value(kReady, QStringLiteral("Create this file (address, UDP and TCP port) once listening."),
          QStringLiteral("file"));
    value(kTimeLimit, QStringLiteral("Exit after this many seconds (default 3600)."),
          QStringLiteral("seconds"));
    value(kTiming,
          QStringLiteral("Serial timing model, on or off (default on): every byte costs 10 bit "
                         "times at the bridge speed in each direction, plus the page "
                         "programming and block erase times."),
          QStringLiteral("on|off"));
    value(kPageUs,
          QStringLiteral("Time to program one 256-byte page in microseconds (default 2000, of "
                         "the order of the typical figures the RX datasheets publish for their "
                         "code flash)."),
          QStringLiteral("us"));
    value(kEraseUs,
          QStringLiteral("Block erase time per 4 KB in microseconds (default 20000, of the "
                         "order of the typical figures the RX datasheets publish; a 2 KB block "
                         "takes half, a 16 KB block four times as long)."),
          QStringLiteral("us"));
    value(kRefusePage, QStringLiteral("Fault: refuse the Nth programming frame."),
          QStringLiteral("n"));
    value(kDropAfter,
          QStringLiteral("Fault: lose power right after programming the Nth page; the link "
                         "drops and the microcontroller stays in boot mode with the flash "
                         "half written."),
          QStringLiteral("n"));
    value(kRefuseErase, QStringLiteral("Fault: refuse the Nth block erasure."),
          QStringLiteral("n"));
    value(kDropDuringErase,
          QStringLiteral("Fault: lose power when the Nth block erasure arrives; the link drops, "
                         "the blocks before it are erased, the rest of the flash keeps its "
                         "contents, and the microcontroller stays in boot mode."),
          QStringLiteral("n"));
    flag(kSilentUdp, QStringLiteral("Fault: the bridge module answers no datagram."));
    flag(kNoFb, QStringLiteral("Fault: a written setup record is stored but not answered "
                               "with 0xFB."));
    flag(kWrongCrc, QStringLiteral("Fault: the flash CRC reply carries a wrong value."));
    flag(kRefuseDevice, QStringLiteral("Fault: device selection is refused."));
    flag(kRefuseId, QStringLiteral("Fault: an ID code is asked for and every code refused."));
    flag(kSilentChip, QStringLiteral("Fault: the CHIP version request is not answered."));
    flag(kSilentRom, QStringLiteral("Fault: once a programming has ended and the "
                                    "microcontroller restarted, the ROM version request is not "
                                    "answered (the new firmware does not run)."));
    flag(kGarble, QStringLiteral("Fault: every byte the microcontroller sends arrives "
                                 "corrupted."));
    value(kDevices,
          QStringLiteral("Simulate N R/Ws (1-1024) on consecutive addresses from --address, each "
                         "with the same ports on its own address and its transcript and dump "
                         "named after it (default 1)."),
          QStringLiteral("n"));
    value(kFaultDevice,
          QStringLiteral("Apply the fault options to the Kth of the --devices only (from 1)."),
          QStringLiteral("k"));
}

bool SimOptions::Read(SimConfig& config, RunOptions& run, QString* error) const {
    const QCommandLineParser& p = parser_;
    if (p.isSet(kAddress) && !config.address.setAddress(p.value(kAddress))) {
        *error = QStringLiteral("--address wants an IP address");
        return false;
    }
    int udpPort = config.udpPort;
    int tcpPort = config.tcpPort;
    if (!ReadInt(p, kUdpPort, 0, 65535, udpPort, error) ||
        !ReadInt(p, kTcpPort, 0, 65535, tcpPort, error))
        return false;
    config.udpPort = quint16(udpPort);
    config.tcpPort = quint16(tcpPort);
    if (p.isSet(kKind)) {
        const QString kind = p.value(kKind).toLower();
        if (kind == QLatin1String("rx231"))
            config.kind = McuKind::Rx231;
        else if (kind == QLatin1String("rx630"))
            config.kind = McuKind::Rx630;
        else if (kind == QLatin1String("rx63t"))
            config.kind = McuKind::Rx63T;
        else {
            *error = QStringLiteral("--kind wants rx231, rx630 or rx63t");
            return false;
        }
    }
    if (!ReadInt(p, kRomSize, 0, 18, config.romSizeCode, error) ||
        !ReadText(p, kRomVersion, 9, config.romVersion, error) ||
        !ReadText(p, kChipVersion, 9, config.chipVersion, error) ||
        !ReadText(p, kNewRomVersion, 9, config.newRomVersion, error) ||
        !ReadText(p, kIdCode, 16, config.idCode, error) ||
        !ReadInt(p, kBridgeBps, 9600, 115200, config.bridgeBps, error) ||
        !ReadInt(p, kTimeLimit, 1, 7 * 24 * 3600, run.timeLimitSec, error) ||
        !ReadInt(p, kPageUs, 0, 10'000'000, config.pageProgramUs, error) ||
        !ReadInt(p, kEraseUs, 0, 10'000'000, config.blockEraseUsPer4K, error) ||
        !ReadInt(p, kRefusePage, 1, 1 << 20, config.faults.refusePage, error) ||
        !ReadInt(p, kDropAfter, 1, 1 << 20, config.faults.dropAfterPages, error) ||
        !ReadInt(p, kRefuseErase, 1, 1 << 20, config.faults.refuseEraseBlock, error) ||
        !ReadInt(p, kDropDuringErase, 1, 1 << 20, config.faults.dropDuringErase, error) ||
        !ReadInt(p, kDevices, 1, kMaxDevices, run.devices, error) ||
        !ReadInt(p, kFaultDevice, 1, kMaxDevices, run.faultDevice, error))
        return false;
    if (run.faultDevice > run.devices) {
        *error = QStringLiteral("--fault-device names device %1 of %2")
                     .arg(run.faultDevice)
                     .arg(run.devices);
        return false;
    }
    if (config.bridgeBps != 9600 && config.bridgeBps != 19200 && config.bridgeBps != 38400 &&
        config.bridgeBps != 57600 && config.bridgeBps != 115200) {
        *error = QStringLiteral("--bridge-bps wants 9600, 19200, 38400, 57600 or 115200");
        return false;
    }
    config.serialTiming = true;
    if (p.isSet(kTiming)) {
        const QString timing = p.value(kTiming).toLower();
        if (timing != QLatin1String("on") && timing != QLatin1String("off")) {
            *error = QStringLiteral("--serial-timing wants on or off");
            return false;
        }
        config.serialTiming = timing == QLatin1String("on");
    }
    config.chipFollowsRom = !p.isSet(kChipStays);
    config.startInBoot = p.isSet(kBoot);
    config.flashFile = p.value(kFlash);
    config.dumpFile = p.value(kDump);
    config.transcriptFile = p.value(kTranscript);
    run.readyFile = p.value(kReady);
    config.faults.silentUdp = p.isSet(kSilentUdp);
    config.faults.noFb = p.isSet(kNoFb);
    config.faults.wrongCrc = p.isSet(kWrongCrc);
    config.faults.refuseDeviceSelect = p.isSet(kRefuseDevice);
    config.faults.refuseIdCode = p.isSet(kRefuseId);
    config.faults.silentChip = p.isSet(kSilentChip);
    config.faults.silentRomAfterUpdate = p.isSet(kSilentRom);
    config.faults.garbleReplies = p.isSet(kGarble);
    return true;
}

} // namespace rwsim
