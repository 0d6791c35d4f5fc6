#include "cli/fleet/FleetOptions.h"

#include "cli/CliOptions.h"
#include "fleet/FleetReport.h"

std::optional<QString> ParseFleetOptions(const QStringList& arguments, FleetOptions& options) {
    QCommandLineParser parser;
    CliOption::Declare(parser, {"boot", "debug", "no-records"},
                       {"host", "hosts", "retry", "image", "kind", "rom-size-code", "jobs",
                        "report", "csv", "log-dir", "records", "chip-timeout", "bind",
                        "skip-current"});
    if (auto problem = ParseCliOptions(parser, arguments))
        return problem;
    if (auto problem = CliOption::FirstProblem(
            {CliOption::Kind(parser, options.kind),
             CliOption::Number(parser, QStringLiteral("rom-size-code"), 0, 99, options.romSizeCode),
             CliOption::Number(parser, QStringLiteral("jobs"), 1, kMaxFleetDevices, options.jobs),
             CliOption::ChipTimeout(parser, options.chipLimitMs),
             CliOption::Ipv4(parser, QStringLiteral("bind"), options.bindAddress)}))
        return problem;
    const bool allBoot = parser.isSet(QStringLiteral("boot"));
    options.debug = parser.isSet(QStringLiteral("debug"));
    options.noRecords = parser.isSet(QStringLiteral("no-records"));
    const QStringList hosts = parser.values(QStringLiteral("host"));
    const QString hostsFile = parser.value(QStringLiteral("hosts"));
    options.retryReport = parser.value(QStringLiteral("retry"));
    options.image = parser.value(QStringLiteral("image"));
    options.reportFile = parser.value(QStringLiteral("report"));
    options.csvFile = parser.value(QStringLiteral("csv"));
    options.logDir = parser.value(QStringLiteral("log-dir"));
    options.recordsDir = parser.value(QStringLiteral("records"));
    options.skipCurrent = parser.value(QStringLiteral("skip-current"));
    if (parser.isSet(QStringLiteral("skip-current")) && options.skipCurrent.size() < 4)
        return QStringLiteral("--skip-current needs a version of at least 4 characters");
    if (options.noRecords && !options.recordsDir.isEmpty())
        return QStringLiteral("--records and --no-records exclude each other");
    const bool listed = !hosts.isEmpty() || !hostsFile.isEmpty();
    if (!options.retryReport.isEmpty() && (listed || allBoot))
        return QStringLiteral("--retry takes its R/Ws and their modes from the report");

    for (const QString& host : hosts) {
        FleetTarget target;
        if (std::optional<QString> problem = ParseFleetHost(host, target))
            return QStringLiteral("--host %1").arg(*problem);
        options.targets.push_back(target);
    }
    if (!hostsFile.isEmpty())
        if (std::optional<QString> problem = ReadHostsFile(hostsFile, options.targets))
            return problem;
    if (!options.retryReport.isEmpty()) {
        if (std::optional<QString> problem = ReadRetryTargets(options.retryReport, options.targets))
            return problem;
        if (options.targets.empty())
            return QStringLiteral("%1 has no R/W that ended NG").arg(options.retryReport);
    }
    if (allBoot)
        for (FleetTarget& target : options.targets)
            target.rewrite = true;
    return CheckFleetTargets(options.targets);
}
