// How long the boot-mode steps take against the simulator: set-up (with its bridge switch),
// ID check, erase, programming, CRC verification and restart of a 256 KB RX231 flash with two pages
// of data in every three, once with the simulator's serial-timing model (wire time at 115.2 kbit/s,
// page programming and block erase times) and once without it (the tool's own overhead). Talks only
// to 127.0.0.2; needs UDP port 30718 free.
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "rwsim/RwSimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

bool Step(const char* name, const std::function<int()>& step) {
    QElapsedTimer wall;
    wall.start();
    const double cpu0 = CpuSeconds();
    const int ok = step();
    std::printf("  %-8s %s %8.3f s wall %7.3f s CPU\n", name, ok ? "OK" : "NG",
                static_cast<double>(wall.nsecsElapsed()) / 1e9, CpuSeconds() - cpu0);
    return ok != 0;
}

bool Run(bool serialTiming) {
    QTemporaryDir dir;
    rwsim::SimConfig config;
    config.tcpPort = 0;
    config.startInBoot = true;
    config.bridgeBps = 19200;
    config.serialTiming = serialTiming;
    config.transcriptFile = dir.filePath(QStringLiteral("transcript.jsonl"));
    // Old firmware everywhere, so that the whole flash must be erased.
    config.flashFile = dir.filePath(QStringLiteral("old.bin"));
    QFile old(config.flashFile);
    if (!old.open(QIODevice::WriteOnly) || old.write(QByteArray(256 * 1024, '\x5A')) < 0)
        return false;
    old.close();
    rwsim::RwSimulator sim(config);
    QString error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "simulator: %s\n", error.toUtf8().constData());
        return false;
    }
    TFlashWrRXCont link(QtLinkEnvironment::Instance(), nullptr, tagOptionPara{}, {});
    link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.2");
    link.TCPIPPara.TCPServPort = sim.TcpPort();
    // The simulator holds 30718 on its own address; the tool takes it on another one.
    link.BridgeBindAddress = QStringLiteral("127.0.0.1");
    link.fCpuProg = 0;
    std::size_t pages = 0;
    for (std::size_t page = 0; page < link.RomImage.size() / 256; ++page) {
        if (page % 3 == 0)
            continue;
        ++pages;
        for (std::size_t i = 0; i < 256; ++i)
            link.RomImage[page * 256 + i] = static_cast<std::uint8_t>(page + i);
    }
    std::printf("serial timing %s, %zu pages with data:\n", serialTiming ? "on" : "off", pages);
    if (!link.OpenLink())
        return false;
    return Step("set-up", [&] { return link.BootSetup(); }) &&
           Step("ID", [&] { return link.BootIdCheck(0); }) &&
           Step("erase", [&] { return link.BootErase(0); }) &&
           Step("program", [&] { return link.BootProgram(0); }) &&
           Step("CRC", [&] { return link.BootCrcCheck(); }) &&
           Step("restart", [&] { return link.BootRestart(); });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool serialTiming = app.arguments().contains(QStringLiteral("--serial-timing"));
    return Run(serialTiming) ? 0 : 1;
}
