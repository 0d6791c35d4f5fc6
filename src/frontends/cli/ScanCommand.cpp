// tessaly-cli scan: finds the R/Ws on the LAN. Asks every address of a range for its bridge
// module's setup record and version, then the R/W behind each module that answered for its
// versions, and lists what it found. It only reads.

#include "cli/CliCommand.h"
#include "cli/CliOptions.h"
#include "cli/JsonStdout.h"
#include "scan/LanScan.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>
#include <optional>

namespace {

constexpr char kHelp[] =
    "find the R/Ws on the LAN: their bridge modules, MAC addresses and versions\n"
    "\n"
    "usage: tessaly-cli scan (--range A-B | --subnet A/N) [--port N] [--bind ADDR]\n"
    "                        [--jobs N] [--json]\n"
    "\n"
    "  --range A-B     the addresses from A up to B (at most 4096)\n"
    "  --subnet A/N    the N-bit network of A, without its network and broadcast addresses\n"
    "                  (at most 4096 addresses: /20 or smaller)\n"
    "  --port N        the R/Ws' TCP port (default 9004)\n"
    "  --bind ADDR     bind the bridge's UDP port 30718 on this local address only\n"
    "  --jobs N        ask at most N R/Ws at the same time (default 64)\n"
    "  --json          print the list as JSON on standard output: one object per address\n"
    "                  whose module answered (address, mac, bridgeBps, reader, romVersion,\n"
    "                  chipVersion, bootSuspected)\n"
    "\n"
    "Every address is asked for its bridge module's setup record (00 00 00 F8) and version\n"
    "(00 00 00 F6) at once; every module that answers within a second is listed with its\n"
    "MAC and serial speed, and its R/W is asked the connection's questions (operation mode,\n"
    "ROM and CHIP versions). \"boot mode suspected\": the module answers and the R/W does not,\n"
    "or the bridge is not at 115200 bit/s: update that R/W with --boot. Nothing is written,\n"
    "no mode is switched.\n"
    "\n"
    "exit codes: 0 searched (whatever was found), 1 the search could not be made (the port\n"
    "            held, an address off loopback with TESSALY_LOOPBACK_ONLY set), 2 bad\n"
    "            command line";

int UsageError(const QString& why) {
    return CliUsageError(QStringLiteral("scan"), why);
}

std::optional<QString> ParseOptions(const QStringList& arguments, ScanSetup& setup, bool& json) {
    QCommandLineParser parser;
    CliOption::Declare(parser, {"json"}, {"range", "subnet", "port", "bind", "jobs"});
    if (auto problem = ParseCliOptions(parser, arguments))
        return problem;
    const bool range = parser.isSet(QStringLiteral("range"));
    if (range == parser.isSet(QStringLiteral("subnet")))
        return QStringLiteral("give either --range A-B or --subnet A/N");
    if (auto problem = range ? ParseScanRange(parser.value(QStringLiteral("range")), setup.range)
                             : ParseScanSubnet(parser.value(QStringLiteral("subnet")), setup.range))
        return problem;
    json = parser.isSet(QStringLiteral("json"));
    return CliOption::FirstProblem(
        {CliOption::Number(parser, QStringLiteral("port"), 1, 65535, setup.tcpPort),
         CliOption::Ipv4(parser, QStringLiteral("bind"), setup.bindAddress),
         CliOption::Number(parser, QStringLiteral("jobs"), 1, 1024, setup.jobs)});
}

QString Or(const QString& text, const QString& none) {
    return text.isEmpty() ? none : text;
}

void PrintTable(const std::vector<ScanFinding>& findings) {
    std::printf("%-16s %-18s %7s %-4s %-10s %-10s %s\n", "address", "MAC", "bridge", "R/W", "ROM",
                "CHIP", "boot mode");
    for (const ScanFinding& f : findings)
        std::printf("%-16s %-18s %7s %-4s %-10s %-10s %s\n", qPrintable(f.address),
                    qPrintable(Or(f.mac, QStringLiteral("-"))),
                    f.bridgeBps ? qPrintable(QString::number(f.bridgeBps)) : "-",
                    f.readerAnswered ? "yes" : "no",
                    qPrintable(Or(f.romVersion, QStringLiteral("-"))),
                    qPrintable(Or(f.chipVersion, QStringLiteral("-"))),
                    f.BootSuspected() ? "suspected" : "");
}

QJsonValue TextOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonArray FindingsJson(const std::vector<ScanFinding>& findings) {
    QJsonArray list;
    for (const ScanFinding& f : findings)
        list.append(QJsonObject{
            {QStringLiteral("address"), f.address},
            {QStringLiteral("mac"), TextOrNull(f.mac)},
            {QStringLiteral("bridgeBps"),
             f.bridgeBps ? QJsonValue(f.bridgeBps) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("reader"), f.readerAnswered},
            {QStringLiteral("romVersion"), TextOrNull(f.romVersion)},
            {QStringLiteral("chipVersion"), TextOrNull(f.chipVersion)},
            {QStringLiteral("bootSuspected"), f.BootSuspected()},
        });
    return list;
}

int RunScan(const QStringList& arguments) {
    ScanSetup setup;
    bool json = false;
    if (const std::optional<QString> error = ParseOptions(arguments, setup, json))
        return UsageError(*error);
    std::optional<JsonStdout> jsonOut;
    if (json)
        jsonOut.emplace();
    QElapsedTimer clock;
    clock.start();
    std::vector<ScanFinding> findings;
    if (const std::optional<QString> problem = RunLanScan(setup, findings)) {
        std::fprintf(stderr, "tessaly-cli scan: %s\n", qPrintable(*problem));
        return CliExit::Failed;
    }
    PrintTable(findings);
    int readers = 0;
    for (const ScanFinding& f : findings)
        readers += f.readerAnswered ? 1 : 0;
    std::printf("scan: %u addresses, %zu bridge modules, %d R/Ws, %.1f s\n", setup.range.Count(),
                findings.size(), readers, double(clock.elapsed()) / 1000.0);
    if (jsonOut)
        jsonOut->Print(FindingsJson(findings));
    return CliExit::Ok;
}

const CliCommand kScanCommand("scan", kHelp, &RunScan);

} // namespace
