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

// A run begins: picks the stem of its files, one no other run in the folder has (a "-2", "-3",
// ... suffix for a second run in the same second), and writes `record` (marked unfinished) as
// its .json, so that a run killed outright still leaves a trace. The folder is created when
// missing. Returns the stem; empty, with the reason in `error`, when nothing could be written.
QString StartRun(const QString& folder, const RunRecord& record, QString* error);

// The run is over: its .log (`logText`) and its final .json, each written atomically, replace
// what StartRun wrote. False with the reason in `error` when either could not be written.
bool FinishRun(const QString& folder, const QString& stem, const RunRecord& record,
               const QByteArray& logText, QString* error);

// Both at once, for a record written after the fact; the stem used goes to `stem`.
bool WriteRun(const QString& folder, const RunRecord& record, const QByteArray& logText,
              QString* error, QString* stem = nullptr);

} // namespace RecordsFolder
