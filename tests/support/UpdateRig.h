#pragma once

// A whole update against the R/W simulator in this process: the simulator on this process's
// own loopback address (its bridge on the fixed UDP port the tool talks to, its TCP port free),
// a device session built by the start-up construction with the bridge bound to another address
// of the process, the window's reaction recorded, and the update command.

#include "core/link/TargetDevice.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "resources/EmbeddedResources.h"
#include "rwsim/RwSimulator.h"
#include "support/RecordingUpdateFrontEnd.h"
#include "support/TestAddresses.h"
#include "support/VectorLogSink.h"
#include "update/DeviceSession.h"
#include "update/LinkStartUp.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace update_test {

constexpr std::uint32_t kReservedTop = 0xFFFFC000u; // kept when the R/W switches itself
constexpr std::uint8_t kOldFlashByte = 0x5A;        // the flash before an update

inline rwsim::SimConfig SimDefaults() {
    rwsim::SimConfig config;
    config.address = QHostAddress(TestAddresses::Module());
    config.udpPort = TestAddresses::ModuleBridgePort(); // where the tool sends
    config.tcpPort = 0;
    return config;
}

class UpdateRig {
public:
    // `arguments` as on the command line ("boot" for re-write mode).
    explicit UpdateRig(rwsim::SimConfig config = SimDefaults(), QStringList arguments = {},
                       std::int32_t kind = 5) {
        config.transcriptFile = dir.filePath(QStringLiteral("transcript.jsonl"));
        if (config.flashFile.isEmpty())
            config.flashFile = WriteOldFlash(config.romSizeCode);
        sim = std::make_unique<rwsim::RwSimulator>(config);
        QString error;
        started = sim->Start(&error);
        EXPECT_TRUE(started) << error.toStdString();

        params.TCPServAddr = config.address.toString();
        params.TCPServPort = sim->TcpPort();
        frontEnd.dialogParams = params;

        LinkStartUp startUp;
        startUp.env = &QtLinkEnvironment::Instance();
        startUp.arguments = arguments;
        startUp.workDir = dir.filePath(QStringLiteral("work"));
        QDir().mkpath(startUp.workDir);
        startUp.firmwareText =
            EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1"));
        startUp.option.fCPUType = kind;
        startUp.option.fROMSize = config.romSizeCode;
        startUp.params = params;
        startUp.bridgeBindAddress = TestAddresses::Tool();
        // TESSALY_TEST_DEBUG=1 shows the debug lines and byte dumps, for a failing test.
        const int debug = qEnvironmentVariableIntValue("TESSALY_TEST_DEBUG");
        startUp.fDispDebugInfo = startUp.fDispTxInfo = startUp.fDispRecInfo = debug;
        option = startUp.option;
        workDir = startUp.workDir;
        startUp_ = startUp;
        Restart(arguments);
    }

    // The program started anew, with `arguments`, against the same R/W.
    void Restart(const QStringList& arguments) {
        session.reset();
        startUp_.arguments = arguments;
        fCpuProg = 1;
        frontEnd.Reset();
        frontEnd.dialogParams = params;
        session = std::make_unique<DeviceSession>(startUp_, &frontEnd);
        session->Events().Subscribe([this](const RunEvent& event) {
            // As the window's pane takes them.
            if (event.kind == RunEvent::Kind::Log)
                WriteLogLine(&log, event.text, true, true);
            frontEnd.Take(event);
        });
        session->Build();
    }

    ~UpdateRig() {
        // A failed test shows the whole log and the simulator's transcript file name.
        if (::testing::Test::HasFailure()) {
            std::fprintf(stderr, "---- log ----\n%s\n---- transcript: %s\n",
                         log.lines.join(QLatin1Char('\n')).toUtf8().constData(),
                         qPrintable(sim->Config().transcriptFile));
            dir.setAutoRemove(qEnvironmentVariableIsEmpty("TESSALY_TEST_KEEP"));
        }
    }

    TFlashWrRXCont& Link() { return session->Link(); }

    // What the window does once it is shown.
    int Connect() { return Link().ConnectReader(); }

    RunOutcome Click(const QString& recordsDir = {}) {
        logBefore = static_cast<int>(log.lines.size());
        RunRequest request;
        request.option = option;
        request.ResWaitTime = 1000;
        request.recordsDir = recordsDir;
        const RunOutcome outcome = session->Update(request);
        // The window keeps the settings the run changed.
        if (outcome.option)
            option = *outcome.option;
        if (outcome.fCpuProg)
            fCpuProg = *outcome.fCpuProg;
        return outcome;
    }

    // The log lines of the last click.
    QStringList RunLog() const { return log.lines.mid(logBefore); }

    std::vector<std::uint8_t> Flash(std::uint32_t from, std::uint32_t to) {
        const auto bytes = sim->Mcu().Flash().Read(from, std::uint64_t{to} - from + 1);
        return {bytes.begin(), bytes.end()};
    }
    // The tool's image over the same range (the rebuilt controller parses the same firmware).
    std::vector<std::uint8_t> Image(std::uint32_t from, std::uint32_t to) {
        const std::size_t offset = from - Link().RomImageBase;
        return {Link().RomImage.begin() + static_cast<std::ptrdiff_t>(offset),
                Link().RomImage.begin() + static_cast<std::ptrdiff_t>(offset + (to - from) + 1)};
    }

    // What the device saw, from its transcript: "connect" for every TCP connection,
    // "record:<speed code>" for every bridge setup record written (1: 19.2 kbit/s,
    // 8: 115.2 kbit/s), and every TCP byte received, as
    // upper-case hex in one string (frames may arrive in pieces).
    struct DeviceView {
        QStringList events;
        QString tcpReceived;
    };
    DeviceView Device() const {
        DeviceView view;
        QFile file(sim->Config().transcriptFile);
        if (!file.open(QIODevice::ReadOnly))
            return view;
        while (!file.atEnd()) {
            const QJsonObject o = QJsonDocument::fromJson(file.readLine()).object();
            const QString hex = o.value(QStringLiteral("hex")).toString();
            const bool rx = o.value(QStringLiteral("dir")).toString() == QLatin1String("rx");
            if (o.value(QStringLiteral("event")).toString() == QLatin1String("connect"))
                view.events << QStringLiteral("connect");
            else if (rx && o.value(QStringLiteral("ch")).toString() == QLatin1String("udp") &&
                     hex.startsWith(QLatin1String("00 00 00 FD")))
                // The speed code is the low nibble of record byte 17 (datagram byte 21).
                view.events << QStringLiteral("record:") +
                                   hex.split(QLatin1Char(' ')).value(21).right(1);
            else if (rx && o.value(QStringLiteral("ch")).toString() == QLatin1String("tcp"))
                view.tcpReceived += hex + QLatin1Char(' ');
        }
        return view;
    }

    QTemporaryDir dir;
    std::unique_ptr<rwsim::RwSimulator> sim;
    bool started = false;
    tagTCPIPPara params;
    VectorLogSink log;
    RecordingUpdateFrontEnd frontEnd;
    tagOptionPara option;
    std::int32_t fCpuProg = 1;
    QString workDir;
    std::unique_ptr<DeviceSession> session;
    int logBefore = 0;

private:
    LinkStartUp startUp_;

    // A flash that already holds an older firmware everywhere, the top 16 KB included.
    QString WriteOldFlash(int romSizeCode) {
        const std::uint32_t base = tessaly::RomImageBaseForSizeCode(romSizeCode);
        QFile file(dir.filePath(QStringLiteral("old-flash.bin")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(static_cast<qsizetype>(0xFFFFFFFFu - base + 1),
                              static_cast<char>(kOldFlashByte)));
        return file.fileName();
    }
};

// The success lines of a run, in order, right after the click.
inline QStringList SuccessLines(const QString& version) {
    return {QString(),
            QStringLiteral("書込設定   : OK"),
            QStringLiteral("ID照合     : OK"),
            QStringLiteral("初期化     : OK"),
            QStringLiteral("書き込み   : OK"),
            QStringLiteral("データ照合 : OK"),
            QStringLiteral("ROM Version : ") + version,
            QString(),
            QStringLiteral("制御マイコン用ファームの書き込みが正常に終了"),
            QString(),
            QStringLiteral("内蔵CHIP用ファームの書き込みを開始"),
            QStringLiteral("Chip Version : ") + version,
            QString(),
            QStringLiteral("内蔵CHIP用ファームの書き込みが正常に終了"),
            QString(),
            QStringLiteral("アップデートが正常に終了しました。"),
            QString()};
}

} // namespace update_test
