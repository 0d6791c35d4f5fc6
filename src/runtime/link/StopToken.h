#pragma once

#include <QObject>

#include <atomic>

// A request to end a run early (a fleet interrupted twice), made from any thread and read by the
// run's link controllers, which then fail every wait, send and connect. Make it on the run's
// thread: a request posts an event there, which wakes a wait that sleeps in the event loop.
class StopToken {
public:
    void Request();
    bool Requested() const { return requested_; }

private:
    std::atomic<bool> requested_{false};
    QObject waker_;
};
