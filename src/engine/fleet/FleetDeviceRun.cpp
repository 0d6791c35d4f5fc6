#include "fleet/FleetDeviceRun.h"

#include "fleet/BackgroundPriority.h"
#include "link/LinkOperator.h"
#include "link/StopToken.h"
#include "update/DeviceSession.h"
#include "update/ExecChildProcess.h"

#include <QMutexLocker>

#include <cstdio>

namespace {

// The device's log file: the lines `update` prints, and what the link would have shown in a
// box as a line of its own.
class DeviceLog final : public LinkQuestions {
public:
    explicit DeviceLog(std::FILE* file) : file_(file) {}

    void Line(const QString& line) {
        if (!file_)
            return;
        const QByteArray utf8 = line.toUtf8() + '\n';
        std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), file_);
        std::fflush(file_);
    }

    void Take(const RunEvent& event) {
        if (event.kind == RunEvent::Kind::Log) {
            Line(event.text);
        } else if (event.kind == RunEvent::Kind::ChipUpdaterEnded) {
            if (event.execResult == 0 && file_) {
                std::fputc('\n', file_); // after the exit code, printed without a line feed
                std::fflush(file_);
            } else if (event.execResult == ExecChildTimedOut) {
                Line(QStringLiteral("the chip updater ran past --chip-timeout and was stopped"));
            } else if (event.execResult != ExecChildStopped && event.execResult != 0) {
                Line(QStringLiteral("the chip updater could not be started (%1)")
                         .arg(event.execResult));
            }
        }
    }

    void ShowErrorBox(const QString& text) override { Line(QStringLiteral("error: ") + text); }
    void ShowOutOfRangeBox(const QString& text) override {
        Line(QStringLiteral("message: ") + text);
    }

private:
    std::FILE* file_;
};

} // namespace

FleetDeviceRun::FleetDeviceRun(int device, HeadlessTarget target, QString workDir,
                               RunRequest request, QString logFile, FleetBoard& board,
                               bool behindTheWindow)
    : device_(device), target_(std::move(target)), workDir_(std::move(workDir)),
      request_(std::move(request)), logFile_(std::move(logFile)), board_(board),
      behindTheWindow_(behindTheWindow) {}

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
    if (behindTheWindow_)
        LowerThisThreadPriority();
    StopToken stop;
    {
        QMutexLocker lock(&stopMutex_);
        stop_ = &stop;
        if (stopWanted_)
            stop.Request();
    }
    // Emptied first, then appended to by this run and its chip updater alike.
    std::FILE* file = nullptr;
    const QByteArray path = logFile_.toLocal8Bit();
    if (std::FILE* fresh = std::fopen(path.constData(), "w")) {
        std::fclose(fresh);
        file = std::fopen(path.constData(), "a");
    }
    // (The fleet made sure the folder can be written; a file that still cannot be opened
    // leaves the device's lines to its record alone.)
    DeviceLog log(file);
    RunRequest request = request_;
    request.chipExitCodeOut = file;
    request.chipOutputFile = file ? logFile_ : QString();
    outcome_ = UpdateDevice(HeadlessStartUp(target_, workDir_, &stop), request, &log,
                            [&](const RunEvent& event) {
                                log.Take(event);
                                board_.Take(device_, event);
                            });
    {
        QMutexLocker lock(&stopMutex_);
        stop_ = nullptr;
    }
    if (file)
        std::fclose(file);
}
