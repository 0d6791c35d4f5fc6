#pragma once

#include "fleet/FleetTargets.h"
#include "records/RunRecord.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>
#include <vector>

// One device's line of the fleet report.
struct FleetRow {
    FleetTarget target;
    std::optional<RunRecord> record; // none when the device was never started
    bool stopped = false;            // it was running when the fleet was stopped
    double seconds = 0;              // the device's wall time
    QString log;                     // its log file
};

struct FleetReport {
    QDateTime started;
    QDateTime finished;
    std::vector<FleetRow> rows;
};

// {"version", "image", "started", "finished", "devices": [...]}: every device with the fields
// of its run record that a line needs, and "interrupted" (null, "stopped" or "not started").
QJsonObject FleetReportJson(const FleetReport& report);
// One line per device with the same fields, after a header line.
QByteArray FleetReportCsv(const FleetReport& report);

// Writes `bytes` to `fileName` atomically: the old report or none, never half a new one.
bool WriteReportFile(const QString& fileName, const QByteArray& bytes, QString* error);

// The devices of an earlier report that ended NG, for --retry: a failed write in re-write mode
// (the operator has power-cycled it, as its log asked), every other in the mode it had.
std::optional<QString> ReadRetryTargets(const QString& reportFile,
                                        std::vector<FleetTarget>& targets);
