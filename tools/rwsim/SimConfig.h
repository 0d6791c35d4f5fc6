#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

namespace rwsim {

// The microcontroller families the boot program can play. RX630 and RX63T share one boot
// protocol (the RX63x kind) and differ only in their device code.
enum class McuKind { Rx231, Rx630, Rx63T };

// Faults a test can inject; each one is recorded in the transcript when it strikes.
struct FaultPlan {
    int refusePage = 0;     // refuse the Nth programming frame (1-based; 0 = never)
    int dropAfterPages = 0; // lose power right after programming the Nth page (0 = never)
    bool silentUdp = false; // the bridge module ignores every datagram
    bool noFb = false;      // the bridge stores a written record but never answers 0xFB
    bool wrongCrc = false;  // the flash CRC reply carries a wrong value
    bool refuseDeviceSelect = false;
    bool refuseIdCode = false;  // asks for an ID code and refuses every code
    bool silentChip = false;    // the CHIP version request gets no reply
    bool garbleReplies = false; // every byte the microcontroller sends arrives corrupted

    int refuseEraseBlock = 0; // refuse the Nth block erasure (1-based; 0 = never)
    int dropDuringErase = 0;  // lose power when the Nth block erasure arrives (0 = never)
    // Once a programming has ended and the microcontroller restarted, the ROM version request
    // gets no reply: a new firmware that does not run.
    bool silentRomAfterUpdate = false;
};

struct SimConfig {
    QHostAddress address{QStringLiteral("127.0.0.2")};
    quint16 udpPort = 30718; // 0 picks a free port (tests)
    quint16 tcpPort = 9004;  // 0 picks a free port (tests)

    McuKind kind = McuKind::Rx231;
    int romSizeCode = 11; // index of the tool's ROM-size list: 11 = 256 KB

    QByteArray romVersion = "1.00A0001";
    QByteArray chipVersion = "1.00C0001";
    QByteArray newRomVersion = "1.01A0002"; // ROM version after a completed programming
    bool chipFollowsRom = true; // sub-command 0x9D makes the CHIP version the ROM version

    bool startInBoot = false; // as after a failed update
    QByteArray idCode;        // 16 characters, or empty when the flash is not protected
    int bridgeBps = 115200;   // serial speed of the bridge module at power-up

    QString flashFile;      // initial flash contents (raw image from the base address)
    QString dumpFile;       // flash dump written after every restart and on exit
    QString transcriptFile; // one JSON object per line

    // Serial timing: every byte costs 10 bit times at the bridge speed in each direction,
    // plus the flash's page programming and block erase times.
    bool serialTiming = false;
    int pageProgramUs = 2000;      // one 256-byte page
    int blockEraseUsPer4K = 20000; // erase time grows with the block size

    FaultPlan faults;
};

} // namespace rwsim
