#pragma once

#include <QByteArray>
#include <QString>

struct RunRecord;

// The records folder: one `<YYYYMMDD-HHMMSS>_<addr>_<port>.log` and `.json` pair per run,
// the newest kKeptRuns runs kept.
namespace RecordsFolder {

constexpr int kKeptRuns = 1000;

// "records" in the work folder.
QString ForWorkDir(const QString& workDir);

// Removes the oldest runs so that the run about to start makes at most `keep` runs in
// `folder`. Files of other names are left alone; a file that cannot be removed stays.
void MakeRoomForRun(const QString& folder, int keep = kKeptRuns);

// Writes the run's .log (`logText`) and .json, each atomically, under a stem no other run in
// the folder has (a "-2", "-3", ... suffix for a second run in the same second). The folder is
// created when missing. False with the reason in `error` when either could not be written; the
// stem used goes to `stem`.
bool WriteRun(const QString& folder, const RunRecord& record, const QByteArray& logText,
              QString* error, QString* stem = nullptr);

} // namespace RecordsFolder
