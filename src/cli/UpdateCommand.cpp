// tessaly-cli update: the one-button firmware update without a window. The same sequence as
// the window's update command, the same log lines on standard output (and in the log file),
// a progress bar on a terminal, and an exit code that names the step that failed.

#include "cli/CliCommand.h"
#include "cli/CliKinds.h"
#include "cli/CliLinkOptions.h"
#include "cli/ConsoleLog.h"
#include "cli/ConsoleUpdateFrontEnd.h"
#include "core/link/TargetDevice.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "resources/EmbeddedResources.h"
#include "update/LinkStartUp.h"
#include "update/UpdateSession.h"
#include "update/WorkFolder.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

namespace UpdateExit {
constexpr int NoReader = 10;        // the R/W was not found (or not at all in re-write mode)
constexpr int NoImage = 11;         // no firmware image: --image could not be loaded
constexpr int WriteSetUp = 12;      // bridge to 19.2 kbit/s, reconnection or boot set-up
constexpr int IdCheck = 13;         // ID code check
constexpr int Erase = 14;           // erasing the flash
constexpr int Write = 15;           // writing the flash: power-cycle the R/W, re-run with --boot
constexpr int DataVerify = 16;      // the flash CRC differs from the image's
constexpr int RomVersion = 17;      // the R/W did not answer after the restart
constexpr int ChipVersion = 18;     // the CHIP did not report its version
constexpr int VersionMismatch = 19; // ROM and CHIP versions differ
} // namespace UpdateExit

constexpr char kHelp[] =
    "update both firmwares of the R/W, as the window's update button does\n"
    "\n"
    "usage: tessaly-cli update --host ADDR [--port N] [--boot] [--image FILE]\n"
    "                          [--kind rx231|rx630|rx63t] [--rom-size-code N] [--debug]\n"
    "                          [--log FILE] [--chip-timeout SECONDS] [--bind ADDR]\n"
    "\n"
    "  --host ADDR           the R/W's IPv4 address (TCPServAddr)\n"
    "  --port N              its TCP port (TCPServPort; also passed to the chip updater as\n"
    "                        TCPPort), default 9004\n"
    "  --boot                re-write mode: the R/W's microcontroller is already in boot mode\n"
    "                        after a failed write; the whole flash is rewritten\n"
    "  --image FILE          write this firmware (.MOT or .HEX) instead of the built-in one\n"
    "  --kind K              MCU kind: rx231 (default), rx630, rx63t\n"
    "  --rom-size-code N     ROM-size code as in the environment dialog (default 11: 256K)\n"
    "  --debug               show the debug lines as well\n"
    "  --log FILE            append the log lines to FILE as well\n"
    "  --chip-timeout S      stop the chip updater after S seconds (default: wait for it)\n"
    "  --bind ADDR           bind the bridge's UDP port 30718 on this local address only\n"
    "                        (default: every local IPv4 address)\n"
    "\n"
    "The connection procedure runs first (without a dialog), then the update: program mode,\n"
    "the microcontroller's firmware through its boot mode, the chip updater from the work\n"
    "folder, and the ROM/CHIP version comparison. A progress bar shows the erase and write\n"
    "steps when standard output is a terminal.\n"
    "\n"
    "exit codes: 0 both firmwares updated, 2 bad command line,\n"
    "            10 R/W not found, 11 no firmware image (--image not loadable),\n"
    "            12 write set-up failed, 13 ID check failed, 14 erase failed,\n"
    "            15 write failed (power-cycle the R/W and run again with --boot),\n"
    "            16 data verify failed, 17 no ROM version after the restart,\n"
    "            18 no CHIP version, 19 ROM and CHIP versions differ";

struct UpdateOptions {
    QString host;
    int port = 9004;
    bool boot = false;
    QString image;
    std::int32_t kind = tessaly::kKindRx231;
    std::int32_t romSizeCode = 11;
    bool debug = false;
    QString logFile;
    int chipLimitMs = -1;
    QString bindAddress;
};

int UsageError(const QString& why) {
    return CliUsageError(QStringLiteral("update"), why);
}

// Parses the command line; a message for the usage error otherwise.
std::optional<QString> ParseOptions(const QStringList& arguments, UpdateOptions& options) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool flag = a == QLatin1String("--boot") || a == QLatin1String("--debug");
        if (!flag && i + 1 >= arguments.size())
            return QStringLiteral("%1 needs a value").arg(a);
        bool number = true;
        if (a == QLatin1String("--boot")) {
            options.boot = true;
        } else if (a == QLatin1String("--debug")) {
            options.debug = true;
        } else if (a == QLatin1String("--host")) {
            options.host = arguments[++i];
        } else if (a == QLatin1String("--port")) {
            options.port = arguments[++i].toInt(&number);
            if (!number || options.port < 1 || options.port > 65535)
                return QStringLiteral("--port needs a port number (1-65535)");
        } else if (a == QLatin1String("--image")) {
            options.image = arguments[++i];
        } else if (a == QLatin1String("--kind")) {
            if (auto error = ReadKindOption(arguments, i, options.kind))
                return error;
        } else if (a == QLatin1String("--bind")) {
            if (auto error = ReadBindOption(arguments, i, options.bindAddress))
                return error;
        } else if (a == QLatin1String("--rom-size-code")) {
            options.romSizeCode = arguments[++i].toInt(&number);
            if (!number)
                return QStringLiteral("--rom-size-code needs a whole number");
        } else if (a == QLatin1String("--log")) {
            options.logFile = arguments[++i];
        } else if (a == QLatin1String("--chip-timeout")) {
            const int seconds = arguments[++i].toInt(&number);
            if (!number || seconds < 1 || seconds > 24 * 3600)
                return QStringLiteral("--chip-timeout needs a number of seconds");
            options.chipLimitMs = seconds * 1000;
        } else {
            return QStringLiteral("unknown argument '%1'").arg(a);
        }
    }
    if (options.host.isEmpty())
        return QStringLiteral("--host is required");
    return std::nullopt;
}

int ExitCodeFor(UpdateStep step) {
    switch (step) {
    case UpdateStep::None:
        return CliExit::Ok;
    case UpdateStep::NoReader:
        return UpdateExit::NoReader;
    case UpdateStep::NoImage:
        return UpdateExit::NoImage;
    case UpdateStep::WriteSetUp:
        return UpdateExit::WriteSetUp;
    case UpdateStep::IdCheck:
        return UpdateExit::IdCheck;
    case UpdateStep::Erase:
        return UpdateExit::Erase;
    case UpdateStep::Write:
        return UpdateExit::Write;
    case UpdateStep::DataVerify:
        return UpdateExit::DataVerify;
    case UpdateStep::RomVersion:
        return UpdateExit::RomVersion;
    case UpdateStep::ChipVersion:
        return UpdateExit::ChipVersion;
    case UpdateStep::VersionMismatch:
        return UpdateExit::VersionMismatch;
    }
    return CliExit::Failed;
}

int RunUpdate(const QStringList& arguments) {
    UpdateOptions options;
    if (const std::optional<QString> error = ParseOptions(arguments, options))
        return UsageError(*error);

    ConsoleLog console;
    if (!console.Open(options.logFile))
        return CliExit::Failed;
    tagTCPIPPara params;
    params.TCPServAddr = options.host;
    params.TCPServPort = options.port;
    params.TCPPort = options.port;
    ConsoleUpdateFrontEnd frontEnd(console, params);

    LinkStartUp startUp;
    startUp.env = &QtLinkEnvironment::Instance();
    startUp.logMemo = &frontEnd;
    startUp.op = &frontEnd;
    if (options.boot)
        startUp.arguments = QStringList{QStringLiteral("boot")};
    startUp.workDir = WorkFolder::Prepare(QCoreApplication::applicationDirPath());
    startUp.firmwareText =
        EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1"));
    startUp.option.fCPUType = options.kind;
    startUp.option.fROMSize = options.romSizeCode;
    startUp.params = params;
    startUp.bridgeBindAddress = options.bindAddress;
    startUp.fDispDebugInfo = options.debug ? 1 : 0;
    StartUpLinkHost host(startUp);

    if (!options.image.isEmpty()) {
        const bool loaded = host.Link().LoadRomImageFile(options.image);
        host.Link().AddLog(
            loaded ? QStringLiteral("OK: Read ROM Data") : QStringLiteral("NG: Read ROM Data"), 1);
        if (!loaded)
            return UpdateExit::NoImage;
    }

    // What the window does when it is first shown; a failure ends the program there too.
    if (!host.Link().ConnectReader())
        return UpdateExit::NoReader;

    tagOptionPara option = startUp.option;
    std::int32_t fCpuProg = 1;
    UpdateSettings settings{.option = option,
                            .fCpuProg = fCpuProg,
                            .ResWaitTime = 1000,
                            .WorkDir = startUp.workDir,
                            .VerDigits = QStringLiteral(TESSALY_VERSION).remove(QLatin1Char('.')),
                            .chipLimitMs = options.chipLimitMs};
    UpdateSession session(host, frontEnd);
    return ExitCodeFor(session.TB_WriteClick(settings).failedStep);
}

const CliCommand kUpdateCommand("update", kHelp, &RunUpdate);

} // namespace
