#pragma once

#include "update/UpdateSteps.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

class FirmwareImage;

// What a ROM image holds, as a record and `tessaly-cli image` report it.
struct ImageSummary {
    QString source;          // the firmware file, or "built-in"
    QString crc;             // the image CRC as four upper-case hex digits
    std::uint64_t bytes = 0; // bytes the last load stored
    std::uint64_t pages = 0; // 256-byte pages that hold data (not all 0xFF)
};

ImageSummary SummarizeImage(const FirmwareImage& image);

// One update as it is kept in the records folder: who, what, when, how it ended, and how long
// each step took. A plain value, so that a report over many runs can gather them.
struct RunRecord {
    struct ChipUpdater {
        QString file;
        QStringList arguments;
        std::optional<int> exitCode; // none when it could not be started or was stopped
    };

    QString version; // this program's
    QString host;
    int port = 0;
    QString mac; // the R/W's bridge module, its identity across address changes; empty: unknown
    bool reWrite = false; // "rewrite" mode, else "program"
    QString kind;         // "rx231", ... (the code as text for a kind without a name)
    int romSizeCode = 0;
    ImageSummary image;
    QDateTime started;
    QDateTime finished;
    // The run has not ended yet (the record written when it starts); an ended run was stopped
    // before its end (Ctrl+C, a signal, a fleet stopped), or it ran to its result.
    bool unfinished = false;
    bool interrupted = false;
    // The R/W already held the version asked for (--skip-current): nothing was written. A
    // skipped run is ok.
    bool skipped = false;
    bool ok = false;
    int exitCode = 0; // tessaly-cli update's code for this outcome
    int errStage = 0;
    QString failedStep; // empty for a run that succeeded
    std::optional<QString> romVersionBefore;
    std::optional<QString> chipVersionBefore;
    std::optional<QString> romVersionAfter;
    std::optional<QString> chipVersionAfter;
    std::optional<ChipUpdater> chipUpdater;           // none when it did not run
    std::vector<std::pair<UpdateStep, qint64>> steps; // milliseconds, in the order they ran
};

// Local time in ISO-8601 with milliseconds and the offset from UTC.
QString RecordTime(const QDateTime& time);

// The record as the JSON object of its .json file.
QJsonObject RunRecordJson(const RunRecord& record);
