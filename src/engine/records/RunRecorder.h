#pragma once

#include "link/LogSink.h"
#include "records/RunRecord.h"
#include "update/UpdateObserver.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <array>

// The line logged when a run's files could not be written, followed by the file and reason.
inline const QString kRecordNotSaved = QStringLiteral("NG: 実行記録を保存できませんでした : ");

// Keeps the record of one run. It sits between the run's link and its log pane: every line
// the run logs passes through to the pane unchanged and is kept, stamped with the local time,
// for the run's .log. As the run's observer it times the steps and notes the versions, the
// chip updater and the outcome. One recorder per run, owned by whoever starts the run.
class RunRecorder final : public LogSink, public UpdateObserver {
public:
    // The run starts now. `pane` gets every line as it would without the recorder (null: none);
    // `folder` is the records folder (empty: no files), made room in for this run unless
    // `makeRoom` is false (a fleet makes room for all its runs at once).
    RunRecorder(LogSink* pane, QString folder, bool makeRoom = true);

    // LogSink: the pane's line count and clearing; the run's .log keeps every line.
    int LineCount() const override { return pane_ ? pane_->LineCount() : 0; }
    void Clear() override;
    void AppendLine(const QString& line) override;

    // UpdateObserver
    void StepStarted(RunStep step) override;
    void StepEnded(RunStep step) override;
    void SequenceStarted(const TFlashWrRXCont& link) override;
    void ChipUpdaterRan(const QString& file, const QStringList& arguments,
                        std::optional<int> exitCode) override;
    void OutcomeKnown(const UpdateOutcome& outcome, const TFlashWrRXCont& link) override;

    // Writes the run's .log and .json into the folder. A pair that cannot be written is
    // logged on the pane (forced) and changes nothing else.
    const RunRecord& Finish();
    const RunRecord& Record() const { return record_; }
    // The .log's text so far.
    const QByteArray& LogText() const { return log_; }

private:
    LogSink* pane_;
    QString folder_;
    QElapsedTimer clock_;
    std::array<qint64, static_cast<std::size_t>(RunStep::Compare) + 1> stepStart_{};
    RunRecord record_;
    QByteArray log_;
};
