#include "fleet/FleetDeviceRun.h"

#include "headless/HeadlessFrontEnd.h"
#include "link/StopToken.h"
#include "update/ExecChildProcess.h"
#include "update/UpdateObserver.h"

#include <QMutexLocker>

#include <cstdio>

namespace {

// The steps as the fleet's table names them.
QString StepTitle(RunStep step) {
    switch (step) {
    case RunStep::Connect:
        return QStringLiteral("接続");
    case RunStep::ProgramMode:
        return QStringLiteral("プログラムモード");
    case RunStep::SetUp:
        return QStringLiteral("書込設定");
    case RunStep::IdCheck:
        return QStringLiteral("ID照合");
    case RunStep::Erase:
        return QStringLiteral("初期化");
    case RunStep::Write:
        return QStringLiteral("書き込み");
    case RunStep::Verify:
        return QStringLiteral("データ照合");
    case RunStep::Restart:
        return QStringLiteral("再起動");
    case RunStep::RomVersion:
        return QStringLiteral("ROMバージョン");
    case RunStep::Chip:
        return QStringLiteral("内蔵CHIP");
    case RunStep::Compare:
        return QStringLiteral("バージョン照合");
    }
    return QString();
}

// The device's answers: its log lines into its own file (the lines `update` prints), its step
// and progress onto the board, messages as log lines.
class DeviceFrontEnd final : public HeadlessFrontEnd, public UpdateObserver {
public:
    DeviceFrontEnd(const tagTCPIPPara& params, std::FILE* log, FleetBoard& board, int device)
        : HeadlessFrontEnd(params), log_(log), board_(board), device_(device) {}

    // LogSink: never emptied, like the console.
    int LineCount() const override { return lines_; }
    void Clear() override { lines_ = 0; }
    void AppendLine(const QString& line) override {
        ++lines_;
        if (!log_)
            return;
        const QByteArray utf8 = line.toUtf8() + '\n';
        std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), log_);
        std::fflush(log_);
    }

    // LinkOperator
    void SetGauge(int percent) override { board_.SetPercent(device_, percent); }
    void ShowErrorBox(const QString& text) override {
        AppendLine(QStringLiteral("error: ") + text);
    }
    void ShowOutOfRangeBox(const QString& text) override {
        AppendLine(QStringLiteral("message: ") + text);
    }

    // UpdateFrontEnd
    void ChipUpdaterEnded(int execResult) override {
        if (execResult == 0 && log_) {
            std::fputc('\n', log_); // after the exit code, printed without a line feed
            std::fflush(log_);
        } else if (execResult == ExecChildTimedOut) {
            AppendLine(QStringLiteral("the chip updater ran past --chip-timeout and was stopped"));
        } else if (execResult != ExecChildStopped) {
            AppendLine(
                QStringLiteral("the chip updater could not be started (%1)").arg(execResult));
        }
    }

    // UpdateObserver: only the steps show on the board.
    void StepStarted(RunStep step) override { board_.SetStep(device_, StepTitle(step)); }
    void StepEnded(RunStep) override {}
    void SequenceStarted(const TFlashWrRXCont&) override {}
    void ChipUpdaterRan(const QString&, const QStringList&, std::optional<int>) override {}
    void OutcomeKnown(const UpdateOutcome&, const TFlashWrRXCont&) override {}

private:
    std::FILE* log_;
    FleetBoard& board_;
    const int device_;
    int lines_ = 0;
};

} // namespace

FleetDeviceRun::FleetDeviceRun(int device, HeadlessUpdateJob job, QString logFile,
                               FleetBoard& board)
    : device_(device), job_(std::move(job)), logFile_(std::move(logFile)), board_(board) {}

FleetDeviceRun::~FleetDeviceRun() {
    wait();
}

void FleetDeviceRun::Stop() {
    QMutexLocker lock(&stopMutex_);
    stopWanted_ = true;
    if (stop_)
        stop_->Request();
}

void FleetDeviceRun::run() {
    StopToken stop;
    {
        QMutexLocker lock(&stopMutex_);
        stop_ = &stop;
        if (stopWanted_)
            stop.Request();
    }
    // Emptied first, then appended to by this run and its chip updater alike.
    std::FILE* log = nullptr;
    const QByteArray path = logFile_.toLocal8Bit();
    if (std::FILE* fresh = std::fopen(path.constData(), "w")) {
        std::fclose(fresh);
        log = std::fopen(path.constData(), "a");
    }
    // (The fleet made sure the folder can be written; a file that still cannot be opened
    // leaves the device's lines to its record alone.)
    DeviceFrontEnd frontEnd(job_.params, log, board_, device_);
    HeadlessUpdateJob job = job_;
    job.stop = &stop;
    job.observer = &frontEnd;
    job.chipExitCodeOut = log;
    job.chipOutputFile = log ? logFile_ : QString();
    record_ = RunHeadlessUpdate(job, frontEnd);
    {
        QMutexLocker lock(&stopMutex_);
        stop_ = nullptr;
    }
    if (log)
        std::fclose(log);
}
