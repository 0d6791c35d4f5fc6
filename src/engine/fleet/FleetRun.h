#pragma once

#include "fleet/FleetBoard.h"
#include "fleet/FleetReport.h"
#include "fleet/FleetTargets.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class FleetDeviceRun;

// What every R/W of a fleet shares.
struct FleetSetup {
    std::vector<FleetTarget> targets;
    QString image; // empty: the built-in firmware
    std::int32_t kind = 5;
    std::int32_t romSizeCode = 11;
    int jobs = kMaxFleetDevices; // at most this many at once
    int chipLimitMs = -1;
    QString bindAddress;
    bool debug = false;
    QString skipCurrent; // see RunRequest::skipCurrent
    QString workDir;     // prepared; the chip updater is written there
    QString recordsDir;  // empty: no record files
    QString logDir;      // each R/W's log as ADDR_PORT.log here
    // The device threads run below the process's other threads: a window stays responsive
    // while hundreds of them have work at once.
    bool behindTheWindow = false;
};

// Many R/Ws updated from one process at once, each exactly as `tessaly-cli update` updates
// one, each on a thread of its own (FleetDeviceRun), at most `jobs` at a time, with a board of
// every device's step and progress and a report with a line per device. Runs on the thread that
// made it, which needs an event loop.
class FleetRun final : public QObject {
    Q_OBJECT
public:
    explicit FleetRun(FleetSetup setup);
    ~FleetRun() override;

    FleetBoard& Board() { return board_; }
    // Starts the first devices; Finished follows when the last one has ended.
    void Start();
    // Runs the fleet to its end here, calling `tick` every `tickMs` meanwhile.
    void Run(const std::function<void()>& tick, int tickMs);
    // No device is started any more; those running finish.
    void StopStarting();
    // The running devices stop at their next safe point (they end NG).
    void StopRunning();
    bool Done() const { return started_ > 0 && running_ == 0; }

    // Once done: a line per device, and how many ended OK (the skipped among them), and how
    // many were stopped.
    FleetReport Report() const;
    int OkCount() const;
    int SkippedCount() const;
    int StoppedCount() const;

Q_SIGNALS:
    void Finished();

private:
    void StartMore();

    const FleetSetup setup_;
    FleetBoard board_;
    std::vector<std::unique_ptr<FleetDeviceRun>> runs_;
    std::size_t next_ = 0;
    int running_ = 0;
    int started_ = 0;
    bool stopStarting_ = false;
    QDateTime startedAt_;
    QDateTime finishedAt_;
};
