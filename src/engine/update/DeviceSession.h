#pragma once

#include "update/LinkEventAdapter.h"
#include "update/LinkStartUp.h"
#include "update/RunEvent.h"
#include "update/RunRequest.h"

#include <functional>
#include <memory>

class TFlashWrRXCont;

// One R/W as a front end holds it: its link controller, built by the start-up construction and
// built anew after every update, and the updates run on it. Everything the controller logs and
// shows, and every step of an update, is told on the session's events; what it asks goes to
// `questions`. A session and its controller belong to the thread that made them.
class DeviceSession {
public:
    // Nothing is built yet, so that subscribers see the construction's lines too.
    DeviceSession(LinkStartUp startUp, LinkQuestions* questions = nullptr);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    RunEvents& Events() { return events_; }
    // What the next build starts from.
    LinkStartUp& StartUp() { return startUp_; }
    // Runs before every build after the first, on the session's thread: the window reads its
    // settings file again and prepares its work folder there.
    std::function<void(LinkStartUp&)> beforeRebuild;

    // Builds the controller (the first time, or a fresh, unconnected one replacing it).
    void Build();
    TFlashWrRXCont& Link() { return *link_; }

    // The update command (TB_WriteClick): the firmware file if the request names one, the checks
    // that nothing unfit is written, the connection procedure on every run after the first (the
    // first uses the connection made at start), the update sequence, and a fresh controller
    // afterwards that keeps the connection parameters the operator entered. Every run leaves its
    // record; the outcome is also told as the last event, Finished.
    RunOutcome Update(const RunRequest& request);

    // 0 until the first update, 1 afterwards: the next one starts with the connection procedure.
    int fReconnect = 0;

private:
    void TellVersionsBefore(const TFlashWrRXCont& link);
    // The R/W reported `version` for both its firmwares (see RunRequest::skipCurrent).
    static bool AlreadyCurrent(const TFlashWrRXCont& link, const QString& version);
    RunOutcome Conclude(class RunRecorder& recorder, std::optional<UpdateStep> failedStep,
                        const struct SequenceResult* sequence);

    LinkStartUp startUp_;
    RunEvents events_;
    LinkEventAdapter adapter_;
    std::unique_ptr<TFlashWrRXCont> link_;
    bool built_ = false;
};

// A R/W updated from scratch, as `tessaly-cli update` does it and a fleet does for each of its
// own: its session built from `startUp` (where the R/W is, its mode, kind and ROM size), the
// connection procedure answered by that set-up rather than a dialog, the update, its record.
// `subscriber` sees every event, the construction's lines included. The built-in firmware's
// load lines are debug lines after the run, and before it when a firmware file replaces it.
RunOutcome UpdateDevice(LinkStartUp startUp, const RunRequest& request, LinkQuestions* questions,
                        RunEvents::Subscriber subscriber);
