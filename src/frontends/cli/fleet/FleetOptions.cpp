#include "cli/fleet/FleetOptions.h"

#include "cli/CliKinds.h"
#include "cli/CliLinkOptions.h"
#include "fleet/FleetReport.h"

namespace {

bool IsFlag(const QString& a) {
    return a == QLatin1String("--boot") || a == QLatin1String("--debug") ||
           a == QLatin1String("--no-records");
}

std::optional<QString> ReadNumber(const QString& option, const QString& text, int min, int max,
                                  int& out) {
    bool number = false;
    out = text.toInt(&number);
    if (!number || out < min || out > max)
        return QStringLiteral("%1 needs a number from %2 to %3").arg(option).arg(min).arg(max);
    return std::nullopt;
}

} // namespace

std::optional<QString> ParseFleetOptions(const QStringList& arguments, FleetOptions& options) {
    bool allBoot = false;
    QStringList hosts;
    QString hostsFile;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!IsFlag(a) && i + 1 >= arguments.size())
            return QStringLiteral("%1 needs a value").arg(a);
        std::optional<QString> problem;
        if (a == QLatin1String("--boot")) {
            allBoot = true;
        } else if (a == QLatin1String("--debug")) {
            options.debug = true;
        } else if (a == QLatin1String("--no-records")) {
            options.noRecords = true;
        } else if (a == QLatin1String("--host")) {
            hosts << arguments[++i];
        } else if (a == QLatin1String("--hosts")) {
            hostsFile = arguments[++i];
        } else if (a == QLatin1String("--retry")) {
            options.retryReport = arguments[++i];
        } else if (a == QLatin1String("--image")) {
            options.image = arguments[++i];
        } else if (a == QLatin1String("--kind")) {
            problem = ReadKindOption(arguments, i, options.kind);
        } else if (a == QLatin1String("--rom-size-code")) {
            problem = ReadNumber(a, arguments[++i], 0, 99, options.romSizeCode);
        } else if (a == QLatin1String("--jobs")) {
            problem = ReadNumber(a, arguments[++i], 1, kMaxFleetDevices, options.jobs);
        } else if (a == QLatin1String("--report")) {
            options.reportFile = arguments[++i];
        } else if (a == QLatin1String("--csv")) {
            options.csvFile = arguments[++i];
        } else if (a == QLatin1String("--log-dir")) {
            options.logDir = arguments[++i];
        } else if (a == QLatin1String("--records")) {
            options.recordsDir = arguments[++i];
        } else if (a == QLatin1String("--chip-timeout")) {
            int seconds = 0;
            problem = ReadNumber(a, arguments[++i], 1, 24 * 3600, seconds);
            options.chipLimitMs = seconds * 1000;
        } else if (a == QLatin1String("--bind")) {
            problem = ReadBindOption(arguments, i, options.bindAddress);
        } else {
            problem = QStringLiteral("unknown argument '%1'").arg(a);
        }
        if (problem)
            return problem;
    }
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
