#pragma once

#include "update/DeviceSession.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

class StopToken;

// A device's session on a thread of its own, with its own event loop, so that the waits of the
// link never run on the thread that made it (the window's): work is handed to the session as
// jobs, one after another, and every event of the session comes back as the Event signal, in
// order, on the owner's thread. What the session asks of a person goes to `questions`, called
// on the device's thread.
class DeviceThread final : public QObject {
    Q_OBJECT
public:
    DeviceThread(LinkStartUp startUp, LinkQuestions* questions);
    // Asks the running job to stop at its next safe point, waits for it, and ends the thread.
    ~DeviceThread() override;

    // Builds the session's controller on the device's thread; returns when it is built, with
    // the construction's events already delivered. `beforeRebuild` runs on the device's thread
    // before every later build.
    void Start(std::function<void(LinkStartUp&)> beforeRebuild = {});
    // Runs `job` on the device's thread after the jobs posted before it; `done` then runs on
    // the owner's thread, after every event of the job has been delivered.
    void Post(std::function<void(DeviceSession&)> job, std::function<void()> done = {});
    // Runs `job` on the device's thread and waits for it. Only for what asks nobody anything:
    // the owner's thread is not there to answer meanwhile.
    void Call(const std::function<void(DeviceSession&)>& job);
    // A posted job has not finished yet.
    bool Busy() const { return pending_ > 0; }

    // The session, to be read between jobs only.
    DeviceSession& Session() { return *session_; }

Q_SIGNALS:
    void Event(const RunEvent& event);

private:
    // Delivers what the device's thread has sent this object so far.
    void DeliverEvents();

    LinkStartUp startUp_;
    LinkQuestions* questions_;
    QThread thread_;
    QObject* context_; // lives on thread_
    std::unique_ptr<DeviceSession> session_;
    std::unique_ptr<StopToken> stop_;
    int pending_ = 0;
};
