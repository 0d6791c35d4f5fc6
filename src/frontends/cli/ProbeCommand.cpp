// tessaly-cli probe: looks for the R/W the way the program does at start, without a dialog.
#include "cli/CliCommand.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleLog.h"
#include "cli/JsonStdout.h"
#include "link/LinkOperator.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"

#include <QJsonObject>

#include <cstdio>
#include <optional>

namespace {

// The connection dialog answered from the command line; the error box goes to stderr.
class ProbeOperator final : public LinkOperator {
public:
    explicit ProbeOperator(const CliLinkOptions& options) : options_(options) {}

    bool AskConnectionSettings(tagTCPIPPara& params, int& /*reWriteMode*/) override {
        params.TCPServAddr = options_.host;
        params.TCPServPort = options_.port;
        return true;
    }
    void ShowErrorBox(const QString& text) override {
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    }

private:
    const CliLinkOptions& options_;
};

// What --json prints: where, whether found, and the versions read (null when not).
QJsonObject ProbeJson(const CliLinkOptions& options, const TFlashWrRXCont& link, bool found) {
    const bool chip = found && link.ChipAnswered;
    return QJsonObject{
        {QStringLiteral("host"), options.host},
        {QStringLiteral("port"), options.port},
        {QStringLiteral("found"), found},
        {QStringLiteral("romVersion"),
         found ? QJsonValue(link.RomVersionText()) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("chipVersion"),
         chip ? QJsonValue(link.ChipVersionText()) : QJsonValue(QJsonValue::Null)},
    };
}

int RunProbe(const QStringList& arguments) {
    QCommandLineParser parser;
    CliLinkOptions::Declare(parser, true);
    CliOption::Declare(parser, QStringLiteral("json"));
    CliLinkOptions options;
    std::optional<QString> problem = ParseCliOptions(parser, arguments);
    if (!problem)
        problem = CliLinkOptions::Read(parser, options);
    if (problem)
        return CliUsageError(QStringLiteral("probe"), *problem);

    std::optional<JsonStdout> json;
    if (parser.isSet(QStringLiteral("json")))
        json.emplace();
    ConsoleLog log;
    if (!log.Open(options.logFile))
        return CliExit::Failed;
    ProbeOperator op(options);
    // No "boot" argument: a probe always searches, whatever the R/W's state.
    TFlashWrRXCont link(QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}, &op);
    link.fDispDebugInfo = options.debug ? 1 : 0;
    link.BridgeBindAddress = options.bindAddress;

    const bool found = link.ConnectReader() == 1 && link.ReaderFound == 1;
    if (found) {
        log.AppendLine(QStringLiteral("OK: R/W %1:%2  ROM %3  CHIP %4")
                           .arg(options.host)
                           .arg(options.port)
                           .arg(link.RomVersionText(), link.ChipAnswered
                                                           ? link.ChipVersionText()
                                                           : QStringLiteral("(応答なし)")),
                       true);
        link.CloseLink();
    }
    if (json)
        json->Print(ProbeJson(options, link, found));
    return found ? CliExit::Ok : CliExit::Failed;
}

const CliCommand command(
    "probe",
    "find the R/W and print its ROM and CHIP versions\n"
    "\n"
    "usage: tessaly-cli probe --host ADDR [--port N] [--bind ADDR] [--debug] [--log FILE]\n"
    "                         [--json]\n"
    "\n"
    "  --host ADDR  IPv4 address of the R/W\n"
    "  --port N     its TCP port (default 9004)\n"
    "  --bind ADDR  bind the bridge's UDP port 30718 on this local address only\n"
    "  --debug      show debug log lines, with every byte sent and received\n"
    "  --log FILE   also append the log to FILE\n"
    "  --json       print host, port, found and the versions as one JSON object on standard\n"
    "               output at the end; the log lines go to standard error\n"
    "\n"
    "Connects as the program does at start: a first try at the bridge's current speed, then,\n"
    "if the R/W does not answer, a second try after setting the bridge module to 115.2 kbit/s.\n"
    "exit codes: 0 the R/W was found and its ROM version read, 1 not found, 2 bad command line",
    RunProbe);

} // namespace
