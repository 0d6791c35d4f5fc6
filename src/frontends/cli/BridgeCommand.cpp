// tessaly-cli bridge: moves the bridge module's serial speed the way the update does.
#include "cli/CliCommand.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleLog.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"

#include <cstdio>

namespace {

constexpr int kSpeedBps[] = {9600, 19200, 38400, 57600, 115200};

int RunBridge(const QStringList& arguments) {
    QCommandLineParser parser;
    CliLinkOptions::Declare(parser, false);
    CliOption::Declare(parser, QStringLiteral("speed"), QStringLiteral("INDEX"));
    CliOption::Declare(parser, QStringLiteral("trace"));
    CliLinkOptions options;
    int speed = -1;
    std::optional<QString> problem = ParseCliOptions(parser, arguments);
    if (!problem)
        problem = CliLinkOptions::Read(parser, options);
    if (!problem)
        problem = CliOption::Number(parser, QStringLiteral("speed"), 0, 4, speed);
    if (!problem && speed < 0)
        problem = QStringLiteral("--speed is required");
    if (problem)
        return CliUsageError(QStringLiteral("bridge"), *problem);

    ConsoleLog log;
    if (!log.Open(options.logFile))
        return CliExit::Failed;
    TFlashWrRXCont link(QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {});
    link.fDispDebugInfo = options.debug ? 1 : 0;
    link.BridgeBindAddress = options.bindAddress;
    link.BridgeTrace = parser.isSet(QStringLiteral("trace")) ? 1 : 0;
    link.TCPIPPara.TCPServAddr = options.host;

    // No TCP link is open here, so this is what the update's bridge step does.
    const bool recordRead = link.ChangeBridgeSerialSpeed(speed, options.host);
    if (!recordRead) {
        log.AppendLine(
            QStringLiteral("NG: %1 から設定レコードを読めませんでした").arg(options.host), true);
        return CliExit::Failed;
    }
    log.AppendLine(QStringLiteral("OK: %1 のシリアル速度を %2bps (index %3) に設定しました")
                       .arg(options.host)
                       .arg(kSpeedBps[speed])
                       .arg(speed),
                   true);
    return CliExit::Ok;
}

const CliCommand command(
    "bridge",
    "change the serial speed of the R/W's bridge module over UDP 30718\n"
    "\n"
    "usage: tessaly-cli bridge --host ADDR --speed INDEX [--trace] [--bind ADDR] [--debug]\n"
    "                          [--log FILE]\n"
    "\n"
    "  --host ADDR    IPv4 address of the R/W (its bridge module)\n"
    "  --speed INDEX  0 = 9600, 1 = 19200, 2 = 38400, 3 = 57600, 4 = 115200 bit/s\n"
    "  --trace        dump every datagram sent and received\n"
    "  --bind ADDR    bind UDP port 30718 on this local address only (default: all)\n"
    "  --debug        show debug log lines\n"
    "  --log FILE     also append the log to FILE\n"
    "\n"
    "Reads the module's setup record (00 00 00 F8), writes it back with the new speed code\n"
    "(00 00 00 FD + record) and waits for the acknowledgement, printing the log lines.\n"
    "exit codes: 0 the setup record was read (an unacknowledged write is logged as NG),\n"
    "            1 no setup record, 2 bad command line",
    RunBridge);

} // namespace
