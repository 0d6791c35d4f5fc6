#pragma once

#include "fleet/FleetRun.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

struct FleetReport;

// One batch of the fleet window. Its bookkeeping (hundreds of device threads started, the records
// folder tidied, the report written) happens on a thread of its own, never between two of the
// window's repaints; the window only reads the board and hears the end.
class FleetBatch final : public QObject {
    Q_OBJECT
public:
    // The report goes to the records folder as fleet-<started>.json and .csv.
    explicit FleetBatch(const FleetSetup& setup);
    // A batch still running is stopped where it is, and waited for.
    ~FleetBatch() override;

    void Start();
    // No further R/W starts; the running ones stop at their next safe point.
    void Stop();
    FleetBoard& Board() { return fleet_->Board(); }

Q_SIGNALS:
    // On the window's thread, once, after the report was written (`error`: why it was not).
    void Done(const FleetReport& report, const QString& reportFile, const QString& error);

private:
    void WriteReport();

    const QString reportFolder_;
    const int keptRuns_;
    QThread thread_;
    std::unique_ptr<FleetRun> fleet_; // lives on thread_
};
