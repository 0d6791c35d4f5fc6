#include "records/RunRecorder.h"

#include "core/link/TargetDevice.h"
#include "link/TFlashWrRXCont.h"
#include "records/RecordsFolder.h"
#include "update/UpdateExitCodes.h"

#include <algorithm>

namespace {

QString KindText(std::int32_t kind) {
    const std::string_view name = tessaly::KindName(kind);
    return name.empty() ? QString::number(kind)
                        : QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

RunRecorder::RunRecorder(LogSink* pane, QString folder, bool makeRoom)
    : pane_(pane), folder_(std::move(folder)) {
    clock_.start();
    record_.version = QStringLiteral(TESSALY_VERSION);
    record_.started = QDateTime::currentDateTime();
    if (makeRoom && !folder_.isEmpty())
        RecordsFolder::MakeRoomForRun(folder_);
}

void RunRecorder::Clear() {
    if (pane_)
        pane_->Clear();
}

void RunRecorder::AppendLine(const QString& line) {
    if (pane_)
        pane_->AppendLine(line);
    log_ +=
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz ")).toUtf8() +
        line.toUtf8() + '\n';
}

void RunRecorder::StepStarted(RunStep step) {
    stepStart_[static_cast<std::size_t>(step)] = clock_.elapsed();
}

void RunRecorder::StepEnded(RunStep step) {
    const qint64 ms = clock_.elapsed() - stepStart_[static_cast<std::size_t>(step)];
    auto& steps = record_.steps;
    const auto known = std::find_if(steps.begin(), steps.end(),
                                    [step](const auto& entry) { return entry.first == step; });
    if (known == steps.end())
        steps.emplace_back(step, ms);
    else
        known->second += ms;
}

void RunRecorder::SequenceStarted(const TFlashWrRXCont& link) {
    // In re-write mode the R/W is in boot mode and nothing was read.
    if (link.ReWriteMode || !link.ReaderFound)
        return;
    record_.romVersionBefore = link.RomVersionText();
    if (link.ChipAnswered)
        record_.chipVersionBefore = link.ChipVersionText();
}

void RunRecorder::ChipUpdaterRan(const QString& file, const QStringList& arguments,
                                 std::optional<int> exitCode) {
    record_.chipUpdater = RunRecord::ChipUpdater{file, arguments, exitCode};
}

void RunRecorder::OutcomeKnown(const UpdateOutcome& outcome, const TFlashWrRXCont& link) {
    record_.finished = QDateTime::currentDateTime();
    record_.host = link.TCPIPPara.TCPServAddr;
    record_.port = link.TCPIPPara.TCPServPort;
    record_.reWrite = link.ReWriteMode != 0;
    record_.kind = KindText(link.OptionPara.fCPUType);
    record_.romSizeCode = link.OptionPara.fROMSize;
    record_.image = SummarizeImage(link);
    record_.ok = outcome.result != 0;
    record_.exitCode = UpdateExitCode(outcome.failedStep);
    record_.errStage = outcome.ErrStage;
    record_.failedStep = FailedStepName(outcome.failedStep);
    // The restarted R/W's versions, where the run got as far as reading them.
    const UpdateStep failed = outcome.failedStep;
    if (failed == UpdateStep::None || failed == UpdateStep::ChipVersion ||
        failed == UpdateStep::VersionMismatch)
        record_.romVersionAfter = link.RomVersionText();
    if (failed == UpdateStep::None || failed == UpdateStep::VersionMismatch)
        record_.chipVersionAfter = link.ChipVersionText();
}

const RunRecord& RunRecorder::Finish() {
    if (!record_.finished.isValid())
        record_.finished = QDateTime::currentDateTime();
    QString error;
    if (!folder_.isEmpty() && !RecordsFolder::WriteRun(folder_, record_, log_, &error))
        WriteLogLine(pane_, kRecordNotSaved + error, true, false);
    return record_;
}
