// tessaly-cli diag: the boot-mode diagnostic menu without a window. Sends one command (or the
// command check) to a microcontroller that is already in boot mode behind the bridge, and
// prints the lines the menu item writes, decoded replies included.

#include "boot/BootDiagnostics.h"
#include "cli/CliCommand.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleLog.h"
#include "core/link/TargetDevice.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

namespace DiagExit {
constexpr int NotConnected = 10; // the TCP connection to the bridge could not be opened
constexpr int SetupFailed = 11;  // --setup: the boot-mode set-up failed
} // namespace DiagExit

constexpr char kHelp[] =
    "send one boot-mode diagnostic command and print the decoded reply\n"
    "\n"
    "usage: tessaly-cli diag --list\n"
    "       tessaly-cli diag NAME --host ADDR [--port N] [--kind rx231|rx630|rx63t]\n"
    "                             [--setup] [--rewrite] [--trace] [--bind ADDR]\n"
    "\n"
    "NAME is a command menu item, with or without its leading \"Mn\", any letter case\n"
    "(SupportDevice, BootProgInfo, CmdCheck, ...); --list prints them with their captions.\n"
    "The microcontroller must already be in boot mode and reachable at the bridge's current\n"
    "serial speed: nothing is matched, selected or switched first, unless --setup is given.\n"
    "  --host ADDR   the R/W's address (with TESSALY_LOOPBACK_ONLY=1 only 127.0.0.0/8)\n"
    "  --port N      TCP port (default 9004)\n"
    "  --kind K      MCU kind: rx231 (default), rx630, rx63t; decides the expected answers\n"
    "  --setup       first run the update's boot-mode set-up (bit-rate matching with the\n"
    "                bridge at 19.2 kbit/s, device and clock selection, new bit rate, the\n"
    "                bridge to 115.2 kbit/s), for a microcontroller fresh in boot mode\n"
    "  --rewrite     as in re-write mode: the matching variant of a microcontroller already\n"
    "                in its boot program, and the memory read with command byte 0x52\n"
    "  --trace       also print every byte sent and received\n"
    "  --bind ADDR   bind the bridge's UDP port 30718 on this local address only\n"
    "\n"
    "exit codes: 0 the command succeeded, 1 it failed, 2 bad command line,\n"
    "            10 no connection, 11 the set-up (--setup) failed";

struct DiagOptions {
    bool list = false;
    QString name;
    QString host;
    int port = 9004;
    std::int32_t kind = tessaly::kKindRx231;
    bool setup = false;
    bool rewrite = false;
    bool trace = false;
    QString bindAddress;
};

int UsageError(const QString& why) {
    return CliUsageError(QStringLiteral("diag"), why);
}

QString CommandName(const BootDiagMenuEntry& entry) {
    return QString::fromLatin1(entry.item).mid(2); // without "Mn"
}

const BootDiagMenuEntry* FindCommand(const QString& name) {
    const QString wanted =
        name.startsWith(QLatin1String("mn"), Qt::CaseInsensitive) ? name.mid(2) : name;
    for (const BootDiagMenuEntry* e : BootDiagCommands())
        if (CommandName(*e).compare(wanted, Qt::CaseInsensitive) == 0)
            return e;
    return nullptr;
}

std::optional<QString> ParseOptions(const QStringList& arguments, DiagOptions& options) {
    QCommandLineParser parser;
    CliOption::Declare(parser, {"list", "setup", "rewrite", "trace"},
                       {"host", "port", "kind", "bind"});
    if (auto problem = ParseCliOptions(parser, arguments, 1))
        return problem;
    if (auto problem = CliOption::FirstProblem(
            {CliOption::Ipv4(parser, QStringLiteral("host"), options.host),
             CliOption::Number(parser, QStringLiteral("port"), 1, 65535, options.port),
             CliOption::Kind(parser, options.kind),
             CliOption::Ipv4(parser, QStringLiteral("bind"), options.bindAddress)}))
        return problem;
    options.list = parser.isSet(QStringLiteral("list"));
    options.setup = parser.isSet(QStringLiteral("setup"));
    options.rewrite = parser.isSet(QStringLiteral("rewrite"));
    options.trace = parser.isSet(QStringLiteral("trace"));
    options.name = parser.positionalArguments().value(0);
    if (options.list)
        return std::nullopt;
    if (options.name.isEmpty())
        return QStringLiteral("give a command NAME or --list");
    if (options.host.isEmpty())
        return QStringLiteral("--host is required");
    return std::nullopt;
}

void PrintList() {
    for (const BootDiagMenuEntry* e : BootDiagCommands())
        CliPrint(
            QStringLiteral("%1  %2").arg(CommandName(*e), -20).arg(QString::fromUtf8(e->caption)));
}

int RunDiag(const QStringList& arguments) {
    DiagOptions options;
    if (const std::optional<QString> error = ParseOptions(arguments, options))
        return UsageError(*error);
    if (options.list) {
        PrintList();
        return CliExit::Ok;
    }
    const BootDiagMenuEntry* command = FindCommand(options.name);
    if (!command)
        return UsageError(QStringLiteral("unknown command '%1' (see --list)").arg(options.name));

    BootDiagSettings settings;
    settings.option.fCPUType = options.kind;
    settings.fCpuProg = options.rewrite ? 0 : 1;
    ConsoleLog log;
    TFlashWrRXCont link(QtLinkEnvironment::Instance(), &log, settings.option, {});
    link.TCPIPPara.TCPServAddr = options.host;
    link.TCPIPPara.TCPServPort = options.port;
    link.BridgeBindAddress = options.bindAddress;
    link.fCpuProg = settings.fCpuProg;
    // The decoded lines are debug lines of the menu: shown here, as the point of the command.
    link.fDispDebugInfo = 1;
    link.fDispTxInfo = options.trace ? 1 : 0;
    link.fDispRecInfo = options.trace ? 1 : 0;
    if (!link.OpenLink()) {
        std::fprintf(stderr, "tessaly-cli diag: no connection to %s:%d\n",
                     options.host.toUtf8().constData(), options.port);
        return DiagExit::NotConnected;
    }
    if (options.setup && !link.BootSetup()) {
        std::fprintf(stderr, "tessaly-cli diag: the boot-mode set-up failed\n");
        link.CloseLink();
        return DiagExit::SetupFailed;
    }
    BootDiagnostics diag(link, settings);
    const int ok = (diag.*(command->handler))();
    link.CloseLink();
    return ok ? CliExit::Ok : CliExit::Failed;
}

const CliCommand kDiag("diag", kHelp, &RunDiag);

} // namespace
