// tessaly-cli update: the one-button firmware update without a window. The same sequence as
// the window's update command, the same log lines on standard output (and in the log file),
// a progress bar on a terminal, a run record, and an exit code that names the step that failed.

#include "cli/CliCommand.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleLog.h"
#include "cli/ConsoleRunView.h"
#include "cli/InterruptCount.h"
#include "cli/JsonStdout.h"
#include "core/link/TargetDevice.h"
#include "link/StopToken.h"
#include "records/RecordsFolder.h"
#include "update/DeviceSession.h"
#include "update/WorkFolder.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <optional>

namespace {

constexpr char kHelp[] =
    "update both firmwares of the R/W, as the window's update button does\n"
    "\n"
    "usage: tessaly-cli update --host ADDR [--port N] [--boot] [--image FILE]\n"
    "                          [--kind rx231|rx630|rx63t] [--rom-size-code N] [--debug]\n"
    "                          [--log FILE] [--chip-timeout SECONDS] [--bind ADDR]\n"
    "                          [--records DIR | --no-records] [--json]\n"
    "                          [--skip-current VERSION]\n"
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
    "  --records DIR         keep the run's .log and .json record in DIR (default: the\n"
    "                        work folder's records/, newest 1000 runs kept)\n"
    "  --no-records          keep no record files\n"
    "  --skip-current V      write nothing when the R/W's ROM and CHIP versions both begin\n"
    "                        with V's first four characters (as the final check compares\n"
    "                        them); the run is \"skipped\", exit code 0\n"
    "  --json                print the run record as one JSON object on standard output at\n"
    "                        the end; the log lines go to standard error\n"
    "\n"
    "The connection procedure runs first (without a dialog), then the update: program mode,\n"
    "the microcontroller's firmware through its boot mode, the chip updater from the work\n"
    "folder, and the ROM/CHIP version comparison. A progress bar shows the erase and write\n"
    "steps when standard output is a terminal.\n"
    "\n"
    "Ctrl+C (or SIGTERM) stops the run at its next safe point: it logs where it stopped and\n"
    "what the R/W needs, leaves its record (\"interrupted\") and stops the chip updater.\n"
    "\n"
    "exit codes: 0 both firmwares updated, 2 bad command line, 3 interrupted,\n"
    "            10 R/W not found, 11 nothing to write (--image not loadable, no byte\n"
    "            where the run would write, or the built-in test firmware and a R/W\n"
    "            outside 127.0.0.0/8; nothing is sent),\n"
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
    QString recordsDir; // empty: the work folder's
    bool noRecords = false;
    bool json = false;
    QString skipCurrent;
};

constexpr int kStopCheckMs = 50;

int UsageError(const QString& why) {
    return CliUsageError(QStringLiteral("update"), why);
}

// Reads the command line; the problem for a bad one.
std::optional<QString> ParseOptions(const QStringList& arguments, UpdateOptions& options) {
    QCommandLineParser parser;
    CliOption::Declare(parser, {"boot", "debug", "no-records", "json"},
                       {"host", "port", "image", "kind", "rom-size-code", "log", "chip-timeout",
                        "bind", "records", "skip-current"});
    if (auto problem = ParseCliOptions(parser, arguments))
        return problem;
    if (!parser.isSet(QStringLiteral("host")))
        return QStringLiteral("--host is required");
    if (auto problem = CliOption::FirstProblem(
            {CliOption::Ipv4(parser, QStringLiteral("host"), options.host),
             CliOption::Number(parser, QStringLiteral("port"), 1, 65535, options.port),
             CliOption::Kind(parser, options.kind),
             CliOption::Number(parser, QStringLiteral("rom-size-code"), 0, 99, options.romSizeCode),
             CliOption::ChipTimeout(parser, options.chipLimitMs),
             CliOption::Ipv4(parser, QStringLiteral("bind"), options.bindAddress)}))
        return problem;
    options.boot = parser.isSet(QStringLiteral("boot"));
    options.debug = parser.isSet(QStringLiteral("debug"));
    options.noRecords = parser.isSet(QStringLiteral("no-records"));
    options.json = parser.isSet(QStringLiteral("json"));
    options.image = parser.value(QStringLiteral("image"));
    options.logFile = parser.value(QStringLiteral("log"));
    options.recordsDir = parser.value(QStringLiteral("records"));
    options.skipCurrent = parser.value(QStringLiteral("skip-current"));
    if (parser.isSet(QStringLiteral("skip-current")) && options.skipCurrent.size() < 4)
        return QStringLiteral("--skip-current needs a version of at least 4 characters");
    if (options.noRecords && !options.recordsDir.isEmpty())
        return QStringLiteral("--records and --no-records exclude each other");
    return std::nullopt;
}

int RunUpdate(const QStringList& arguments) {
    UpdateOptions options;
    if (const std::optional<QString> error = ParseOptions(arguments, options))
        return UsageError(*error);

    std::optional<JsonStdout> json;
    if (options.json)
        json.emplace();
    ConsoleLog console;
    if (!console.Open(options.logFile))
        return CliExit::Failed;

    // Ctrl+C or SIGTERM stops the run at its next safe point; it still ends with its lines, its
    // record and no chip updater left running.
    CountInterrupts();
    StopToken stop;
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, [&] {
        if (Interrupts() == 0 || stop.Requested())
            return;
        std::fputs("tessaly-cli update: stopping at the next safe point\n", stderr);
        stop.Request();
    });
    stopWatch.start(kStopCheckMs);

    const QString workDir = WorkFolder::Prepare(QCoreApplication::applicationDirPath());
    const LinkStartUp startUp = HeadlessStartUp({.host = options.host,
                                                 .port = options.port,
                                                 .reWrite = options.boot,
                                                 .kind = options.kind,
                                                 .romSizeCode = options.romSizeCode,
                                                 .bindAddress = options.bindAddress,
                                                 .debug = options.debug},
                                                workDir, &stop);
    RunRequest request;
    request.advice = RunRequest::Advice::CommandLine;
    request.imageFile = options.image;
    request.option = startUp.option;
    request.chipLimitMs = options.chipLimitMs;
    request.skipCurrent = options.skipCurrent;
    if (!options.noRecords)
        request.recordsDir =
            options.recordsDir.isEmpty() ? RecordsFolder::ForWorkDir(workDir) : options.recordsDir;
    ConsoleRunView view(console);
    const RunOutcome outcome =
        UpdateDevice(startUp, request, &view, [&](const RunEvent& e) { view.Take(e); });
    if (json)
        json->Print(RunRecordJson(outcome.record));
    InterruptsHandled();
    return outcome.ExitCode();
}

const CliCommand kUpdateCommand("update", kHelp, &RunUpdate);

} // namespace
