#include "headless/HeadlessUpdate.h"

#include "headless/HeadlessFrontEnd.h"
#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "records/RunRecorder.h"
#include "resources/EmbeddedResources.h"
#include "update/LinkStartUp.h"
#include "update/UpdatePreflight.h"
#include "update/UpdateSession.h"

namespace {

// The record keeper and whoever else watches the run, told the same things.
class BothObservers final : public UpdateObserver {
public:
    BothObservers(UpdateObserver& first, UpdateObserver* second) : a_(first), b_(second) {}
    void StepStarted(RunStep step) override {
        a_.StepStarted(step);
        if (b_)
            b_->StepStarted(step);
    }
    void StepEnded(RunStep step) override {
        a_.StepEnded(step);
        if (b_)
            b_->StepEnded(step);
    }
    void SequenceStarted(const TFlashWrRXCont& link) override {
        a_.SequenceStarted(link);
        if (b_)
            b_->SequenceStarted(link);
    }
    void ChipUpdaterRan(const QString& file, const QStringList& arguments,
                        std::optional<int> exitCode) override {
        a_.ChipUpdaterRan(file, arguments, exitCode);
        if (b_)
            b_->ChipUpdaterRan(file, arguments, exitCode);
    }
    void OutcomeKnown(const UpdateOutcome& outcome, const TFlashWrRXCont& link) override {
        a_.OutcomeKnown(outcome, link);
        if (b_)
            b_->OutcomeKnown(outcome, link);
    }

private:
    UpdateObserver& a_;
    UpdateObserver* b_;
};

// Loads the named firmware, if any, as a file dropped on the window would be.
bool LoadImage(TFlashWrRXCont& link, const QString& image) {
    if (image.isEmpty())
        return true;
    const bool loaded = link.LoadRomImageFile(image);
    link.AddLog(loaded ? QStringLiteral("OK: Read ROM Data") : QStringLiteral("NG: Read ROM Data"),
                1);
    return loaded;
}

} // namespace

RunRecord RunHeadlessUpdate(const HeadlessUpdateJob& job, HeadlessFrontEnd& frontEnd) {
    RunRecorder recorder(&frontEnd, job.recordsDir, job.makeRoomInRecords);
    BothObservers observers(recorder, job.observer);

    LinkStartUp startUp;
    startUp.env = &QtLinkEnvironment::Instance();
    startUp.logMemo = &recorder;
    startUp.op = &frontEnd;
    if (job.reWrite)
        startUp.arguments = QStringList{QStringLiteral("boot")};
    startUp.workDir = job.workDir;
    startUp.firmwareText =
        EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1"));
    startUp.option.fCPUType = job.kind;
    startUp.option.fROMSize = job.romSizeCode;
    startUp.params = job.params;
    startUp.bridgeBindAddress = job.bindAddress;
    startUp.stop = job.stop;
    startUp.fDispDebugInfo = job.debug ? 1 : 0;
    StartUpLinkHost host(startUp);

    // Before the connection procedure: the job's address is where the update would write.
    if (!LoadImage(host.Link(), job.imageFile) || !UpdateMayStart(host.Link())) {
        UpdateOutcome outcome;
        outcome.failedStep = UpdateStep::NoImage;
        observers.OutcomeKnown(outcome, host.Link());
        return recorder.Finish();
    }
    tagOptionPara option = startUp.option;
    std::int32_t fCpuProg = 1;
    UpdateSettings settings{.option = option,
                            .fCpuProg = fCpuProg,
                            .ResWaitTime = 1000,
                            .WorkDir = job.workDir,
                            .VerDigits = QStringLiteral(TESSALY_VERSION).remove(QLatin1Char('.')),
                            .chipLimitMs = job.chipLimitMs,
                            .observer = &observers,
                            .chipExitCodeOut = job.chipExitCodeOut,
                            .chipOutputFile = job.chipOutputFile};
    UpdateSession session(host, frontEnd);
    // As for a second click in the window: the run starts with the connection procedure.
    session.fReconnect = 1;
    session.TB_WriteClick(settings);
    return recorder.Finish();
}
