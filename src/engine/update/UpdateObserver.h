#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class TFlashWrRXCont;
struct UpdateOutcome;

// The steps of a run as its record times them, in the order they run.
enum class RunStep {
    Connect,     // the connection procedure, when the run includes it
    ProgramMode, // switching the R/W into program mode (not in re-write mode)
    SetUp,       // bridge to 19.2 kbit/s, reconnection, boot-mode set-up
    IdCheck,
    Erase,
    Write,
    Verify,
    Restart,    // the boot-mode restart, the pause after it, the bridge back to 115.2 kbit/s
    RomVersion, // waiting for the restarted R/W's ROM version
    Chip,       // the chip updater and the CHIP version wait after it
    Compare,    // the final CHIP version and the comparison
};

// The step's name in a run record ("connect", "programMode", ...).
QString RunStepName(RunStep step);

// Whoever keeps a record of a run: told what the run does as it happens, on the run's own
// thread. A step is started and ended at most once per run; a run without an observer runs
// exactly the same.
class UpdateObserver {
public:
    virtual ~UpdateObserver() = default;
    virtual void StepStarted(RunStep step) = 0;
    virtual void StepEnded(RunStep step) = 0;
    // The sequence begins on `link`, connected (or in re-write mode).
    virtual void SequenceStarted(const TFlashWrRXCont& link) = 0;
    // The chip updater ran; `exitCode` is empty when it could not be started or was stopped.
    virtual void ChipUpdaterRan(const QString& file, const QStringList& arguments,
                                std::optional<int> exitCode) = 0;
    // The outcome is known and shown; `link` is the run's controller, still as the run left it.
    virtual void OutcomeKnown(const UpdateOutcome& outcome, const TFlashWrRXCont& link) = 0;
};

// Tells `observer` (if any) that `step` starts now and, when the scope ends, that it ended.
class StepScope {
public:
    StepScope(UpdateObserver* observer, RunStep step) : observer_(observer), step_(step) {
        if (observer_)
            observer_->StepStarted(step_);
    }
    ~StepScope() {
        if (observer_)
            observer_->StepEnded(step_);
    }
    // The step has ended and `next` starts.
    void Next(RunStep next) {
        if (observer_) {
            observer_->StepEnded(step_);
            observer_->StepStarted(next);
        }
        step_ = next;
    }
    StepScope(const StepScope&) = delete;
    StepScope& operator=(const StepScope&) = delete;

private:
    UpdateObserver* observer_;
    RunStep step_;
};
