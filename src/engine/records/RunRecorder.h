#pragma once

#include "records/RunRecord.h"
#include "update/RunEvent.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <array>

// The line logged when a run's files could not be written, followed by the file and reason.
inline const QString kRecordNotSaved = QStringLiteral("NG: 実行記録を保存できませんでした : ");

// Keeps the record of one run from the run's events: every line it logs, stamped with the local
// time, for the run's .log; how long each step took; the versions read before; the chip
// updater. The run starts when the recorder is made. Whoever runs it completes the record with
// the outcome, closes it (no line is kept after that) and writes it.
class RunRecorder {
public:
    // `folder` is the records folder (empty: no files), made room in for this run unless
    // `makeRoom` is false (a fleet makes room for all its runs at once). The run's record is
    // written there at once, marked unfinished, for the R/W at `host`:`port`.
    RunRecorder(QString folder, bool makeRoom, const QString& host, int port);

    // A subscriber of the run's events.
    void Take(const RunEvent& event);

    RunRecord& Record() { return record_; }
    // The run is over: its end time is now and no further line belongs to it.
    void Close();
    // Writes the run's .log and .json into the folder (nothing without one), in place of the
    // unfinished record. False with the reason (the file and why) when the pair could not be
    // written.
    bool Write(QString* error);
    // The .log's text so far.
    const QByteArray& LogText() const { return log_; }

private:
    QString folder_;
    QElapsedTimer clock_;
    std::array<qint64, static_cast<std::size_t>(UpdateStep::VersionsDiffer) + 1> stepStart_{};
    RunRecord record_;
    QByteArray log_;
    QString stem_; // of the unfinished record; empty when none could be written
    QString stemHost_;
    int stemPort_ = 0;
    bool closed_ = false;
};
