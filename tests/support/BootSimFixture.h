#pragma once

// The tool's link controller against the R/W simulator over loopback: the simulator's bridge
// on the bridge UDP port of the process's own module address (where the tool sends its speed
// changes, from its own tool address) and its serial line on a free TCP port.

#include "core/boot/BootIdCodes.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "rwsim/RwSimulator.h"
#include "support/TestAddresses.h"
#include "support/VectorLogSink.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

struct BootSimTarget {
    rwsim::McuKind simKind = rwsim::McuKind::Rx231;
    std::int32_t toolKind = 5;
    std::int32_t romSizeCode = 11;
};

inline const BootSimTarget kRx231_256K{rwsim::McuKind::Rx231, 5, 11};
// Blocks 0 to 29 of the RX63x kind span exactly 384 KB.
inline const BootSimTarget kRx630_384K{rwsim::McuKind::Rx630, 6, 13};
inline const BootSimTarget kRx63T_384K{rwsim::McuKind::Rx63T, 7, 13};

inline QByteArray IdCodeText(const std::array<std::uint8_t, 16>& code) {
    return QByteArray(reinterpret_cast<const char*>(code.data()), 16);
}

class BootSimTest : public ::testing::Test {
protected:
    // The simulator with its microcontroller already in boot mode and the bridge at 19.2 kbit/s
    // (as after a failed update), or running the R/W firmware at 115.2 kbit/s.
    rwsim::SimConfig Config(const BootSimTarget& target, bool startInBoot) {
        rwsim::SimConfig config;
        config.address = QHostAddress(TestAddresses::Module());
        config.udpPort = TestAddresses::ModuleBridgePort();
        config.tcpPort = 0;
        config.kind = target.simKind;
        config.romSizeCode = target.romSizeCode;
        config.startInBoot = startInBoot;
        config.bridgeBps = startInBoot ? 19200 : 115200;
        config.transcriptFile = dir.filePath(QStringLiteral("transcript.jsonl"));
        return config;
    }

    // A flash file of old firmware: every byte 0x5A.
    QString OldFlashFile(std::uint32_t bytes) {
        const QString path = dir.filePath(QStringLiteral("old.bin"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(static_cast<qsizetype>(bytes), '\x5A'));
        return path;
    }

    void Start(const rwsim::SimConfig& config, std::int32_t toolKind) {
        sim = std::make_unique<rwsim::RwSimulator>(config);
        QString error;
        ASSERT_TRUE(sim->Start(&error)) << error.toStdString();
        tagOptionPara option;
        option.fCPUType = toolKind;
        option.fROMSize = config.romSizeCode;
        link = std::make_unique<TFlashWrRXCont>(QtLinkEnvironment::Instance(), &log, option,
                                                QStringList{});
        link->TCPIPPara.TCPServAddr = TestAddresses::Module();
        link->TCPIPPara.TCPServPort = sim->TcpPort();
        link->BridgeBindAddress = TestAddresses::Tool();
        link->fDispDebugInfo = 1;
        link->fDispTxInfo = 0;
        link->fDispRecInfo = 0;
        ASSERT_EQ(link->OpenLink(), 1);
    }

    // From the R/W firmware into the boot program at 19.2 kbit/s, as the update does it.
    void EnterBootFromFirmware() {
        link->fCpuProg = 1;
        link->SetProgMode();
        link->FlushRx();
        link->SetBridgeSpeed(1);
        ASSERT_EQ(link->OpenLink(), 1);
    }

    // An image with data in two of every three pages, blank pages between them, and data in
    // the top 16 KB as well.
    void FillImage() {
        std::vector<std::uint8_t>& image = link->RomImage;
        for (std::size_t page = 0; page < image.size() / 256; ++page) {
            if (page % 3 == 0)
                continue;
            for (std::size_t i = 0; i < 256; ++i)
                image[page * 256 + i] = static_cast<std::uint8_t>(page * 7 + i * 13 + 1);
        }
        link->RomImageLoaded = 1;
    }

    std::span<const std::uint8_t> FlashRange(std::uint32_t first, std::uint64_t length) {
        return sim->Mcu().Flash().Read(first, length);
    }

    bool TranscriptHas(const QString& text) const {
        QFile file(sim->Config().transcriptFile);
        return file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text);
    }

    int CountSent(const QString& dumpPrefix) const {
        int n = 0;
        for (const QString& line : log.lines)
            n += line.startsWith(QStringLiteral("TX: ") + dumpPrefix) ? 1 : 0;
        return n;
    }

    QTemporaryDir dir;
    VectorLogSink log;
    std::unique_ptr<rwsim::RwSimulator> sim;
    std::unique_ptr<TFlashWrRXCont> link;
};
