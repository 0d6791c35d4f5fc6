#pragma once

#include "core/link/TargetDevice.h"
#include "fleet/FleetTargets.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// The command line of `tessaly-cli fleet`.
struct FleetOptions {
    std::vector<FleetTarget> targets; // from --host, --hosts or --retry
    QString retryReport;
    QString image;
    std::int32_t kind = tessaly::kKindRx231;
    std::int32_t romSizeCode = 11;
    int jobs = kMaxFleetDevices; // at most this many at once
    QString reportFile;
    QString csvFile;
    QString logDir;     // empty: the records folder
    QString recordsDir; // empty: the work folder's
    bool noRecords = false;
    int chipLimitMs = -1;
    QString bindAddress;
    bool debug = false;
    QString skipCurrent; // empty: every R/W is written
};

// Reads the command line, the hosts file and the report to retry; the problem (naming the file
// and line where there is one) for a usage error otherwise.
std::optional<QString> ParseFleetOptions(const QStringList& arguments, FleetOptions& options);
