#pragma once

#include "link/LinkRecords.h"
#include "records/RunRecord.h"
#include "update/UpdateSteps.h"

#include <QMetaType>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// How a run ended: its record (which holds the result, the exit code, the failed step and the
// versions) and the settings the run changed, for the front end to keep.
struct RunOutcome {
    RunRecord record;
    std::optional<UpdateStep> failedStep; // none when both firmwares were updated and agree
    std::int32_t ErrStage = 0;
    // The settings record with the update speeds the sequence set (BpsMode 4, BPSspeed and
    // BaudRate 115200), and fCpuProg (1 when the run switched the R/W into program mode, 0 in
    // re-write mode); none when the sequence never began.
    std::optional<tagOptionPara> option;
    std::optional<std::int32_t> fCpuProg;

    bool Ok() const { return !failedStep; }
    int ExitCode() const { return record.exitCode; }
};

// One thing that happened on a device: a line logged, a step begun or ended, progress, what the
// link shows the operator, versions read, the chip updater, the outcome. A device's session
// sends them in order on its own thread to whoever subscribed.
struct RunEvent {
    enum class Kind {
        Log,                 // `text` logged; `forced` false for a debug line
        Status,              // `text` for the status bar
        SearchShown,         // the "please wait" window around the search: `caption`, `text`
        SearchHidden,        //
        ConnectionCancelled, // the operator cancelled the connection dialog: the program ends
        SequenceStarted,     // the update sequence begins on the connected R/W
        StepStarted,         // `step`
        StepEnded,           // `step`
        Progress,            // `percent` of the running step's own work
        Address,             // `text`: the flash address being written (empty: none)
        VersionsBefore,      // `rom` and `chip` as read when the R/W was connected
        Identity,            // `text`: the R/W's bridge module MAC address (empty: no answer)
        ChipUpdaterStarted,  // `text`: the file; the link to the R/W is closed meanwhile
        ChipUpdaterEnded,    // `chip`: how it ran
        Finished,            // `outcome`
    };

    Kind kind = Kind::Log;
    UpdateStep step = UpdateStep::Image;
    QString text;
    QString caption;
    bool forced = true;
    int percent = 0;
    std::optional<QString> rom;
    std::optional<QString> chip;
    // ChipUpdaterEnded: file, arguments and exit code; `execResult` is what the launch returned
    // (0: it ran; see ExecChildProcess).
    std::optional<RunRecord::ChipUpdater> chipRun;
    int execResult = 0;
    std::shared_ptr<const RunOutcome> outcome;
};

Q_DECLARE_METATYPE(RunEvent)

// The events of one device, handed to every subscriber in the order they happen, on the
// device's thread.
class RunEvents {
public:
    using Subscriber = std::function<void(const RunEvent&)>;

    // Returns a number that Unsubscribe takes.
    int Subscribe(Subscriber subscriber);
    void Unsubscribe(int id);
    void Emit(const RunEvent& event);

private:
    std::vector<std::pair<int, Subscriber>> subscribers_;
    int nextId_ = 1;
};

// A subscription for the lifetime of a scope.
class RunSubscription {
public:
    RunSubscription(RunEvents& events, RunEvents::Subscriber subscriber)
        : events_(events), id_(events.Subscribe(std::move(subscriber))) {}
    ~RunSubscription() { events_.Unsubscribe(id_); }
    RunSubscription(const RunSubscription&) = delete;
    RunSubscription& operator=(const RunSubscription&) = delete;

private:
    RunEvents& events_;
    int id_;
};

// Tells `events` that a step starts now and, when the scope ends, that it ended.
class StepScope {
public:
    StepScope(RunEvents& events, UpdateStep step);
    ~StepScope();
    // The step has ended and `next` starts.
    void Next(UpdateStep next);
    StepScope(const StepScope&) = delete;
    StepScope& operator=(const StepScope&) = delete;

private:
    void Tell(RunEvent::Kind kind);
    RunEvents& events_;
    UpdateStep step_;
};
