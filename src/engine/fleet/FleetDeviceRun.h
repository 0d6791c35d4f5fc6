#pragma once

#include "fleet/FleetBoard.h"
#include "update/LinkStartUp.h"
#include "update/RunEvent.h"
#include "update/RunRequest.h"

#include <QMutex>
#include <QThread>

#include <atomic>

class StopToken;

// One R/W of a fleet, updated on a thread of its own with everything a run owns (link
// controller, receive ring, stopwatch, TCP link, chip updater child, record): exactly what
// `tessaly-cli update` runs, with its lines in the device's log file and its step and progress
// on the fleet's board.
class FleetDeviceRun final : public QThread {
public:
    // The device's chip updater output and exit code go to `logFile` too; `behindTheWindow`
    // runs it below the process's other threads.
    FleetDeviceRun(int device, HeadlessTarget target, QString workDir, RunRequest request,
                   QString logFile, FleetBoard& board, bool behindTheWindow);
    ~FleetDeviceRun() override;

    // Stops the run as soon as it can (from the fleet's thread): it ends NG where it was.
    void Stop();
    bool Stopped() const { return stopWanted_; }

    const QString& LogFile() const { return logFile_; }
    // The run's outcome, once the thread has finished.
    const RunOutcome& Outcome() const { return outcome_; }

protected:
    void run() override;

private:
    const int device_;
    const HeadlessTarget target_;
    const QString workDir_;
    const RunRequest request_;
    const QString logFile_;
    FleetBoard& board_;
    const bool behindTheWindow_;
    RunOutcome outcome_;
    std::atomic<bool> stopWanted_{false};
    QMutex stopMutex_;
    StopToken* stop_ = nullptr; // lives on the run's thread while it runs
};
