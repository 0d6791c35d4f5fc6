#include "fleet/FleetRun.h"

#include "fleet/FleetDeviceRun.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>

namespace {

std::vector<QString> Names(const std::vector<FleetTarget>& targets) {
    std::vector<QString> names;
    for (const FleetTarget& target : targets)
        names.push_back(target.Name());
    return names;
}

QString ResultText(const RunOutcome& outcome, bool stopped) {
    if (outcome.record.skipped)
        return QStringLiteral("skipped");
    if (outcome.Ok())
        return QStringLiteral("OK");
    return stopped ? QStringLiteral("NG (stopped)")
                   : QStringLiteral("NG (%1)").arg(outcome.ExitCode());
}

} // namespace

FleetRun::FleetRun(FleetSetup setup) : setup_(std::move(setup)), board_(Names(setup_.targets)) {
    for (std::size_t i = 0; i < setup_.targets.size(); ++i) {
        const FleetTarget& t = setup_.targets[i];
        const HeadlessTarget target{.host = t.host,
                                    .port = t.port,
                                    .reWrite = t.rewrite,
                                    .kind = setup_.kind,
                                    .romSizeCode = setup_.romSizeCode,
                                    .bindAddress = setup_.bindAddress,
                                    .debug = setup_.debug};
        RunRequest request;
        request.advice = RunRequest::Advice::CommandLine;
        request.imageFile = setup_.image;
        request.option.fCPUType = setup_.kind;
        request.option.fROMSize = setup_.romSizeCode;
        request.recordsDir = setup_.recordsDir;
        request.makeRoomInRecords = false; // done once for the whole fleet
        request.chipLimitMs = setup_.chipLimitMs;
        request.skipCurrent = setup_.skipCurrent;
        const QString log =
            QDir(setup_.logDir).filePath(QStringLiteral("%1_%2.log").arg(t.host).arg(t.port));
        runs_.push_back(
            std::make_unique<FleetDeviceRun>(int(i), target, setup_.workDir, request, log, board_,
                                             setup_.behindTheWindow));
    }
}

FleetRun::~FleetRun() = default;

void FleetRun::Start() {
    startedAt_ = QDateTime::currentDateTime();
    StartMore();
    if (running_ == 0) {
        finishedAt_ = QDateTime::currentDateTime();
        Q_EMIT Finished();
    }
}

void FleetRun::Run(const std::function<void()>& tick, int tickMs) {
    QEventLoop loop;
    connect(this, &FleetRun::Finished, &loop, &QEventLoop::quit);
    QTimer refresh;
    connect(&refresh, &QTimer::timeout, &loop, tick);
    refresh.start(tickMs);
    Start();
    if (running_ > 0)
        loop.exec();
}

void FleetRun::StopStarting() {
    stopStarting_ = true;
}

void FleetRun::StopRunning() {
    stopStarting_ = true;
    for (std::size_t i = 0; i < next_; ++i)
        runs_[i]->Stop();
}

void FleetRun::StartMore() {
    while (!stopStarting_ && next_ < runs_.size() && running_ < setup_.jobs) {
        const int device = int(next_++);
        FleetDeviceRun* run = runs_[std::size_t(device)].get();
        connect(run, &QThread::finished, this, [this, device, run] {
            board_.Finish(device, ResultText(run->Outcome(), run->Stopped()));
            --running_;
            StartMore();
            if (running_ == 0) {
                finishedAt_ = QDateTime::currentDateTime();
                Q_EMIT Finished();
            }
        });
        board_.Start(device);
        ++running_;
        ++started_;
        run->start();
    }
}

FleetReport FleetRun::Report() const {
    FleetReport report;
    report.started = startedAt_;
    report.finished = finishedAt_;
    const std::vector<FleetBoard::Row> rows = board_.Rows();
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        const FleetDeviceRun& run = *runs_[i];
        FleetRow line;
        line.target = setup_.targets[i];
        if (rows[i].phase == FleetBoard::Phase::Done) {
            line.record = run.Outcome().record;
            line.stopped = run.Stopped() && !run.Outcome().Ok();
            line.seconds = double(rows[i].endedMs - rows[i].startedMs) / 1000.0;
            line.log = run.LogFile();
        }
        report.rows.push_back(line);
    }
    return report;
}

int FleetRun::OkCount() const {
    int ok = 0;
    for (const auto& run : runs_)
        ok += run->isFinished() && run->Outcome().Ok() ? 1 : 0;
    return ok;
}

int FleetRun::SkippedCount() const {
    int skipped = 0;
    for (const auto& run : runs_)
        skipped += run->isFinished() && run->Outcome().record.skipped ? 1 : 0;
    return skipped;
}

int FleetRun::StoppedCount() const {
    int stopped = 0;
    for (const auto& run : runs_)
        stopped += run->isFinished() && run->Stopped() && !run->Outcome().Ok() ? 1 : 0;
    return stopped;
}
