#pragma once

#include "rwsim/RwSimulator.h"
#include "rwsim/SimConfig.h"

#include <QString>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

namespace rwsim {

// The simulated R/Ws of the process, a few to each event-loop thread: every wake-up of a loop
// polls all of its sockets, so one loop for a thousand R/Ws would spend its time polling, and
// one loop could use only one of the PC's cores. A handful of R/Ws stay on the caller's thread.
class SimFleet {
public:
    SimFleet() = default;
    // Each simulator ends (writing its flash dump) on its own thread.
    ~SimFleet();
    SimFleet(const SimFleet&) = delete;
    SimFleet& operator=(const SimFleet&) = delete;

    // Starts a simulator for each config; false, with `error`, at the first that cannot start.
    bool Start(const std::vector<SimConfig>& configs, QString* error);
    const std::vector<std::unique_ptr<RwSimulator>>& Sims() const { return sims_; }

private:
    struct Loop {
        std::unique_ptr<QThread> thread; // null: the caller's thread
        QObject* host = nullptr;         // lives on `thread`
        std::size_t first = 0;
        std::size_t count = 0;
    };
    void OnLoop(const Loop& loop, const std::function<void()>& work);

    std::vector<Loop> loops_;
    std::vector<std::unique_ptr<RwSimulator>> sims_;
};

} // namespace rwsim
