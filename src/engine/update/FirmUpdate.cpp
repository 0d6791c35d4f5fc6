#include "update/FirmUpdate.h"

#include "link/TFlashWrRXCont.h"
#include "update/ChipUpdaterCall.h"
#include "update/ExecChildProcess.h"
#include "update/PollingWait.h"
#include "update/UpdatePreflight.h"
#include "update/UpdateTexts.h"

#include <cstring>
#include <functional>

namespace {

constexpr std::int32_t kBridgeBootSpeed = 1;    // 19.2 kbit/s for the bit-rate matching
constexpr std::int32_t kBridgeNormalSpeed = 4;  // 115.2 kbit/s, the R/W's own speed
constexpr std::int32_t kUpdateBitRate = 115200; // the boot-mode and serial speed of a run
constexpr std::uint32_t kAfterChipUpdaterMs = 200;
constexpr std::size_t kComparedVersionChars = 4;

class Sequence {
public:
    Sequence(TFlashWrRXCont& link, RunEvents& events, const RunRequest& request,
             const QString& workDir)
        : link_(link), events_(events), request_(request), workDir_(workDir),
          versionWaits_(link.Env().Clock()) {
        out_.option = request.option;
    }

    SequenceResult Execute();

private:
    void Log(const QString& text) { link_.AddLog(text, 1); }
    void Fail(UpdateStep step) {
        result_ = 0;
        out_.failedStep = step;
        out_.ErrStage = Step(step).errStage;
    }
    void Tell(RunEvent event) { events_.Emit(event); }
    void Begin();
    void WriteSetUp();
    void BootStep(UpdateStep step, const std::function<int()>& call);
    void BackToNormal();
    void ChipUpdate();
    void CompareVersions();
    void OutcomeLines();

    TFlashWrRXCont& link_;
    RunEvents& events_;
    const RunRequest& request_;
    const QString& workDir_;
    SequenceResult out_;
    int result_ = 1;
    RunVersionWaits versionWaits_;
};

SequenceResult Sequence::Execute() {
    // Whoever runs the sequence has asked already; this is the last word before the erase.
    if (!UpdateMayStart(link_)) {
        out_.failedStep = UpdateStep::Image;
        return out_;
    }
    Begin();
    WriteSetUp();
    const std::int32_t cpuProg = out_.fCpuProg;
    BootStep(UpdateStep::IdCheck, [&] { return link_.BootIdCheck(cpuProg); });
    BootStep(UpdateStep::Erase, [&] { return link_.BootErase(cpuProg); });
    BootStep(UpdateStep::Write, [&] { return link_.BootProgram(cpuProg); });
    BootStep(UpdateStep::Verify, [&] { return link_.BootCrcCheck(); });
    BackToNormal();
    ChipUpdate(); // only after the ROM version was answered
    CompareVersions();
    OutcomeLines();
    return out_;
}

void Sequence::Begin() {
    out_.began = true;
    Log(QString());
    out_.fCpuProg = link_.ReWriteMode == 0 ? 1 : 0;
    link_.fCpuProg = out_.fCpuProg; // the boot set-up reads it from there
    out_.option.BpsMode = kBridgeNormalSpeed;
    out_.option.BPSspeed = kUpdateBitRate;
    out_.option.BaudRate = kUpdateBitRate;

    RunEvent started;
    started.kind = RunEvent::Kind::SequenceStarted;
    Tell(started);
    // Whatever the link received meanwhile is taken in before the first command, as the
    // window's repaints here always did.
    link_.ProcessMessages();
    link_.ProcessMessages();

    if (out_.fCpuProg) {
        const StepScope timed(events_, UpdateStep::ProgramMode);
        // Reports success whatever the R/W answered; the bit-rate matching that follows
        // shows whether the switch took place.
        link_.SetProgMode();
        link_.FlushRx();
    }
}

void Sequence::WriteSetUp() {
    const StepScope timed(events_, UpdateStep::SetUp);
    if (link_.BridgeSpeedIndex != kBridgeBootSpeed) {
        // The field keeps its value: the boot set-up moves the bridge back to 115.2 kbit/s
        // by itself once the new bit rate is accepted.
        link_.SetBridgeSpeed(kBridgeBootSpeed);
        if (link_.BridgeTurnMissed) {
            // Nothing was sent to the module: the R/W is as it was, bar its program mode.
            Log(Step(UpdateStep::SetUp).ngLine);
            Fail(UpdateStep::SetUp);
            return;
        }
        result_ = link_.OpenLink();
    }
    link_.ProcessMessages();
    link_.FlushRx();
    // A lost link shows up as a failed set-up, so the reconnection's result is not kept.
    result_ = link_.BootSetup();
    const StepInfo& step = Step(UpdateStep::SetUp);
    Log(result_ ? step.okLine : step.ngLine);
    if (result_)
        return;
    // Which part of it, without the debug lines that say so.
    if (!link_.BootSetupFailedAt.isEmpty())
        Log(UpdateText::SetUpFailedAt + link_.BootSetupFailedAt);
    Fail(UpdateStep::SetUp);
}

void Sequence::BootStep(UpdateStep id, const std::function<int()>& call) {
    if (!result_)
        return;
    const StepScope timing(events_, id);
    link_.ProcessMessages();
    const StepInfo& step = Step(id);
    if (call()) {
        Log(step.okLine);
        return;
    }
    link_.AddLog(step.ngLine, step.ngIsDebug ? 0 : 1);
    Fail(id);
}

void Sequence::BackToNormal() {
    if (!result_)
        return;
    StepScope timed(events_, UpdateStep::Restart);
    link_.BootRestart(); // the R/W's answer to the version request decides instead
    link_.SleepMs(static_cast<std::uint32_t>(request_.ResWaitTime));
    if (link_.BridgeSpeedIndex != kBridgeNormalSpeed) {
        link_.BridgeSpeedIndex = kBridgeNormalSpeed;
        link_.SetBridgeSpeed(kBridgeNormalSpeed);
        link_.OpenLink();
    }
    link_.FlushRx();
    timed.Next(UpdateStep::RomVersion);
    if (!versionWaits_.RomVersion([&] { return link_.GetRomVersion(0); })) {
        Fail(UpdateStep::RomVersion);
        Log(Step(UpdateStep::RomVersion).ngLine);
        return;
    }
    Log(UpdateText::RomVersionPrefix + link_.RomVersionText());
    Log(QString());
    Log(UpdateText::McuFirmwareDone);
}

void Sequence::ChipUpdate() {
    if (!result_)
        return;
    const StepScope timed(events_, UpdateStep::Chip);
    const QString updater = ChipUpdaterCall::FileToRun(workDir_, ChipUpdaterCall::VersionDigits());
    if (!updater.isEmpty()) {
        Log(QString());
        Log(UpdateText::ChipStart);
        RunEvent started;
        started.kind = RunEvent::Kind::ChipUpdaterStarted;
        started.text = updater;
        Tell(started);
        // The updater talks to the R/W on its own and needs its TCP port.
        link_.CloseLink();
        // Whatever became of the updater, the final version check decides the outcome.
        const QStringList arguments =
            ChipUpdaterCall::Arguments(link_.ChipAnswered, link_.TCPIPPara);
        int exitCode = 0;
        const int ran =
            ExecChildProcess(updater, arguments, request_.chipExitCodeOut, request_.chipLimitMs,
                             &exitCode, link_.Stop(), request_.chipOutputFile);
        RunEvent ended;
        ended.kind = RunEvent::Kind::ChipUpdaterEnded;
        ended.chipRun = RunRecord::ChipUpdater{updater, arguments,
                                               ran == 0 ? std::optional(exitCode) : std::nullopt};
        ended.execResult = ran;
        Tell(ended);
        link_.OpenLink();
        link_.FlushRx();
        link_.SleepMs(kAfterChipUpdaterMs);
        link_.SendSubCommand9D();
    }
    versionWaits_.ChipAfterUpdater([&] { return link_.GetChipVersion(0); });
}

void Sequence::CompareVersions() {
    if (!result_)
        return;
    const StepScope timed(events_, UpdateStep::Compare);
    if (!versionWaits_.FinalChipVersion([&] { return link_.GetChipVersion(0); })) {
        Fail(UpdateStep::Compare);
        Log(Step(UpdateStep::Compare).ngLine);
        return;
    }
    Log(UpdateText::ChipVersionPrefix + link_.ChipVersionText());
    if (std::memcmp(link_.RomVersion.data(), link_.ChipVersion.data(), kComparedVersionChars) ==
        0) {
        Log(QString());
        Log(UpdateText::ChipFirmwareDone);
    } else {
        Fail(UpdateStep::VersionsDiffer);
        Log(Step(UpdateStep::VersionsDiffer).ngLine);
    }
}

void Sequence::OutcomeLines() {
    if (result_) {
        Log(QString());
        Log(UpdateText::Succeeded);
        Log(QString());
        return;
    }
    const QString& reWrite = request_.advice == RunRequest::Advice::CommandLine
                                 ? UpdateText::RetryWithBootOption
                                 : UpdateText::RetryWithReWrite;
    if (link_.StopRequested()) {
        // Stopped where it was: what the R/W needs depends on whether the flash was being
        // written.
        Log(UpdateText::Interrupted);
        Log(QString());
        Log(UpdateText::PowerCycle);
        Log(LeavesFlashPartial(*out_.failedStep) ? reWrite : UpdateText::Retry);
        return;
    }
    Log(UpdateText::Failed);
    Log(QString());
    // The R/W needs a power cycle and the program a restart before another attempt.
    switch (out_.ErrStage) {
    case 3:
        Log(UpdateText::PowerCycle);
        Log(reWrite);
        break;
    case 1:
    case 2:
    case 4:
        Log(UpdateText::PowerCycle);
        Log(UpdateText::Retry);
        break;
    default:
        Log(UpdateText::CheckConnection);
        Log(UpdateText::PowerCycle);
        Log(UpdateText::Retry);
        break;
    }
}

} // namespace

SequenceResult FirmUpdate(TFlashWrRXCont& link, RunEvents& events, const RunRequest& request,
                          const QString& workDir) {
    return Sequence(link, events, request, workDir).Execute();
}
