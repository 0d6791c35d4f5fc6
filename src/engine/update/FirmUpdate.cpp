#include "update/FirmUpdate.h"

#include "link/TFlashWrRXCont.h"
#include "update/ChipUpdaterCall.h"
#include "update/ExecChildProcess.h"
#include "update/PollingWait.h"
#include "update/UpdatePreflight.h"
#include "update/UpdateTexts.h"

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

constexpr std::int32_t kBridgeBootSpeed = 1;    // 19.2 kbit/s for the bit-rate matching
constexpr std::int32_t kBridgeNormalSpeed = 4;  // 115.2 kbit/s, the R/W's own speed
constexpr std::int32_t kUpdateBitRate = 115200; // the boot-mode and serial speed of a run
constexpr std::uint32_t kAfterChipUpdaterMs = 200;
constexpr int kResultFontSize = 72;
constexpr std::size_t kComparedVersionChars = 4;

class Run {
public:
    Run(TFlashWrRXCont& link, UpdateFrontEnd& frontEnd, UpdateSettings& settings)
        : link_(link), fe_(frontEnd), op_(link.Operator()), s_(settings),
          versionWaits_(link.Env().Clock()) {}

    UpdateOutcome Execute();

private:
    void Log(const QString& text) { link_.AddLog(text, 1); }
    void Fail(UpdateStep step, std::int32_t errStage = 0) {
        result_ = 0;
        out_.failedStep = step;
        out_.ErrStage = errStage;
    }
    void Begin();
    void WriteSetUp();
    void BootStep(const UpdateText::BootStepText& text, std::int32_t errStage, UpdateStep step,
                  RunStep timed, const std::function<int()>& call);
    void BackToNormal();
    void ChipUpdate();
    void CompareVersions();
    void ShowOutcome();
    void GuidanceLines();
    void ReportOutcome();
    void End();

    TFlashWrRXCont& link_;
    UpdateFrontEnd& fe_;
    LinkOperator& op_;
    UpdateSettings& s_;
    UpdateOutcome out_;
    int result_ = 1;
    RunVersionWaits versionWaits_;
};

UpdateOutcome Run::Execute() {
    if (s_.observer)
        s_.observer->SequenceStarted(link_);
    // Whoever runs the sequence has asked already; this is the last word before the erase.
    if (!UpdateMayStart(link_)) {
        out_.failedStep = UpdateStep::NoImage;
        ReportOutcome();
        return out_;
    }
    out_.failedStep = UpdateStep::None;
    Begin();
    WriteSetUp();
    const std::int32_t cpuProg = s_.fCpuProg;
    BootStep(UpdateText::IdCheck, 1, UpdateStep::IdCheck, RunStep::IdCheck,
             [&] { return link_.BootIdCheck(cpuProg); });
    BootStep(UpdateText::Erase, 2, UpdateStep::Erase, RunStep::Erase,
             [&] { return link_.BootErase(cpuProg); });
    BootStep(UpdateText::Write, 3, UpdateStep::Write, RunStep::Write,
             [&] { return link_.BootProgram(cpuProg); });
    BootStep(UpdateText::DataVerify, 4, UpdateStep::DataVerify, RunStep::Verify,
             [&] { return link_.BootCrcCheck(); });
    BackToNormal();
    ChipUpdate(); // only after the ROM version was answered
    CompareVersions();
    out_.result = result_;
    ShowOutcome();
    ReportOutcome(); // before the result window waits for the operator
    End();
    return out_;
}

void Run::Begin() {
    Log(QString());
    s_.fCpuProg = link_.ReWriteMode == 0 ? 1 : 0;
    link_.fCpuProg = s_.fCpuProg; // the boot set-up reads it from there
    s_.option.BpsMode = kBridgeNormalSpeed;
    s_.option.BPSspeed = kUpdateBitRate;
    s_.option.BaudRate = kUpdateBitRate;

    fe_.SetMainWindowEnabled(false);
    fe_.OpenResultWindow();
    link_.ProcessMessages();
    fe_.SetResultMessage(UpdateText::DoNotPowerOff);
    fe_.SetResultCaption(UpdateText::Starting);
    link_.ProcessMessages();
    op_.SetStepTitle(QString());

    if (s_.fCpuProg) {
        const StepScope timed(s_.observer, RunStep::ProgramMode);
        op_.SetStepTitle(QString());
        // Reports success whatever the R/W answered; the bit-rate matching that follows
        // shows whether the switch took place.
        link_.SetProgMode();
        link_.FlushRx();
    }
}

void Run::WriteSetUp() {
    const StepScope timed(s_.observer, RunStep::SetUp);
    if (link_.BridgeSpeedIndex != kBridgeBootSpeed) {
        // The field keeps its value: the boot set-up moves the bridge back to 115.2 kbit/s
        // by itself once the new bit rate is accepted.
        link_.SetBridgeSpeed(kBridgeBootSpeed);
        result_ = link_.OpenLink();
    }
    fe_.SetResultCaption(UpdateText::SettingUp);
    op_.SetStepTitle(QString());
    op_.SetAddressText(QString());
    link_.ProcessMessages();
    link_.FlushRx();
    // A lost link shows up as a failed set-up, so the reconnection's result is not kept.
    result_ = link_.BootSetup();
    Log(result_ ? UpdateText::SetUpOk : UpdateText::SetUpNg);
    if (!result_)
        Fail(UpdateStep::WriteSetUp);
}

void Run::BootStep(const UpdateText::BootStepText& text, std::int32_t errStage, UpdateStep step,
                   RunStep timed, const std::function<int()>& call) {
    if (!result_)
        return;
    const StepScope timing(s_.observer, timed);
    fe_.SetResultCaption(text.label);
    op_.SetStepTitle(text.title);
    op_.SetAddressText(QString());
    link_.ProcessMessages();
    if (call()) {
        Log(text.ok);
        return;
    }
    // A failed verify is shown by the outcome and its guidance; its own line is a debug line.
    link_.AddLog(text.ng, step == UpdateStep::DataVerify ? 0 : 1);
    Fail(step, errStage);
}

void Run::BackToNormal() {
    if (!result_)
        return;
    StepScope timed(s_.observer, RunStep::Restart);
    link_.BootRestart(); // the R/W's answer to the version request decides instead
    link_.SleepMs(static_cast<std::uint32_t>(s_.ResWaitTime));
    if (link_.BridgeSpeedIndex != kBridgeNormalSpeed) {
        link_.BridgeSpeedIndex = kBridgeNormalSpeed;
        link_.SetBridgeSpeed(kBridgeNormalSpeed);
        link_.OpenLink();
    }
    link_.FlushRx();
    timed.Next(RunStep::RomVersion);
    if (!versionWaits_.RomVersion([&] { return link_.GetRomVersion(0); })) {
        Fail(UpdateStep::RomVersion);
        Log(UpdateText::RomVersionNg);
        return;
    }
    Log(UpdateText::RomVersionPrefix + link_.RomVersionText());
    Log(QString());
    Log(UpdateText::McuFirmwareDone);
}

void Run::ChipUpdate() {
    if (!result_)
        return;
    const StepScope timed(s_.observer, RunStep::Chip);
    const QString updater = ChipUpdaterCall::FileToRun(s_.WorkDir, s_.VerDigits);
    if (!updater.isEmpty()) {
        Log(QString());
        Log(UpdateText::ChipStart);
        fe_.SetResultWindowVisible(false);
        // The updater talks to the R/W on its own and needs its TCP port.
        link_.CloseLink();
        // Whatever became of the updater, the final version check decides the outcome.
        const QStringList arguments =
            ChipUpdaterCall::Arguments(link_.ChipAnswered, link_.TCPIPPara);
        int exitCode = 0;
        const int ran = ExecChildProcess(updater, arguments, s_.chipExitCodeOut, s_.chipLimitMs,
                                         &exitCode, link_.Stop(), s_.chipOutputFile);
        fe_.ChipUpdaterEnded(ran);
        if (s_.observer)
            s_.observer->ChipUpdaterRan(updater, arguments,
                                        ran == 0 ? std::optional(exitCode) : std::nullopt);
        link_.OpenLink();
        link_.FlushRx();
        link_.SleepMs(kAfterChipUpdaterMs);
        link_.SendSubCommand9D();
    }
    versionWaits_.ChipAfterUpdater([&] { return link_.GetChipVersion(0); });
    fe_.SetResultWindowVisible(true);
}

void Run::CompareVersions() {
    op_.SetStepTitle(QString());
    fe_.SetResultFontSize(kResultFontSize);
    if (!result_)
        return;
    const StepScope timed(s_.observer, RunStep::Compare);
    if (!versionWaits_.FinalChipVersion([&] { return link_.GetChipVersion(0); })) {
        Fail(UpdateStep::ChipVersion);
        Log(UpdateText::NoChipVersion);
        return;
    }
    Log(UpdateText::ChipVersionPrefix + link_.ChipVersionText());
    if (std::memcmp(link_.RomVersion.data(), link_.ChipVersion.data(), kComparedVersionChars) ==
        0) {
        Log(QString());
        Log(UpdateText::ChipFirmwareDone);
    } else {
        Fail(UpdateStep::VersionMismatch);
        Log(UpdateText::VersionsDiffer);
    }
}

void Run::ShowOutcome() {
    if (result_) {
        Log(QString());
        Log(UpdateText::Succeeded);
        Log(QString());
        fe_.SetResultMessage(UpdateText::SucceededLabel);
        fe_.SetResultCaption(UpdateText::Ok);
        fe_.SetResultColour(UpdateFrontEnd::Colour::Blue);
        fe_.PlaySound(UpdateFrontEnd::Sound::Success);
        // A device rescued in re-write mode is not written twice in one session.
        if (link_.ReWriteMode)
            fe_.SetUpdateCommandsEnabled(false);
        return;
    }
    Log(UpdateText::Failed);
    Log(QString());
    fe_.SetResultMessage(UpdateText::FailedLabel);
    fe_.SetResultCaption(UpdateText::Ng);
    fe_.SetResultColour(UpdateFrontEnd::Colour::Red);
    fe_.PlaySound(UpdateFrontEnd::Sound::Failure);
    fe_.SetMainWindowEnabled(true);
    // The R/W needs a power cycle and the program a restart before another attempt.
    fe_.SetUpdateCommandsEnabled(false);
    GuidanceLines();
}

void Run::GuidanceLines() {
    switch (out_.ErrStage) {
    case 3:
        Log(UpdateText::PowerCycle);
        Log(UpdateText::RetryWithReWrite);
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

void Run::ReportOutcome() {
    if (s_.observer)
        s_.observer->OutcomeKnown(out_, link_);
}

void Run::End() {
    fe_.RaiseResultWindow();
    link_.ProcessMessages();
    fe_.ConfirmAndCloseResultWindow();
    op_.SetStepTitle(QString());
    op_.SetGauge(0);
    fe_.SetMainWindowEnabled(true);
}

} // namespace

UpdateOutcome FirmUpdate(TFlashWrRXCont& link, UpdateFrontEnd& frontEnd, UpdateSettings& settings) {
    return Run(link, frontEnd, settings).Execute();
}
