#include "update/DeviceSession.h"

#include "bridge/BridgeBindCheck.h"
#include "bridge/BridgeTexts.h"
#include "core/link/TargetDevice.h"
#include "link/TFlashWrRXCont.h"
#include "records/RunRecorder.h"
#include "update/FirmUpdate.h"
#include "update/UpdatePreflight.h"
#include "update/UpdateTexts.h"

namespace {

QString KindText(std::int32_t kind) {
    const std::string_view name = tessaly::KindName(kind);
    return name.empty() ? QString::number(kind)
                        : QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

DeviceSession::DeviceSession(LinkStartUp startUp, LinkQuestions* questions)
    : startUp_(std::move(startUp)), adapter_(events_, questions) {}

DeviceSession::~DeviceSession() = default;

void DeviceSession::Build() {
    link_.reset();
    if (built_ && beforeRebuild)
        beforeRebuild(startUp_);
    built_ = true;
    link_ = BuildLinkController(startUp_, &adapter_, &adapter_);
}

RunOutcome DeviceSession::Update(const RunRequest& request) {
    TFlashWrRXCont& link = Link();
    RunRecorder recorder(request.recordsDir, request.makeRoomInRecords, link.TCPIPPara.TCPServAddr,
                         link.TCPIPPara.TCPServPort);
    const RunSubscription recording(events_, [&](const RunEvent& e) { recorder.Take(e); });

    if (!request.imageFile.isEmpty()) {
        const bool loaded = link.LoadRomImageFile(request.imageFile);
        link.AddLog(loaded ? UpdateText::ImageRead : UpdateText::ImageNotRead, 1);
        if (!loaded)
            return Conclude(recorder, UpdateStep::Image, nullptr);
    }
    // Refused before the connection procedure, so that the R/W is not even asked; nothing has
    // happened, so the controller and its connection stay as they are (a firmware file dropped
    // next can go straight on).
    if (!UpdateMayStart(link))
        return Conclude(recorder, UpdateStep::Image, nullptr);
    // A bridge port that cannot be bound would be found out only after the R/W was switched
    // into program mode, which leaves it in boot mode.
    if (!BridgeBindAddressIsHere(link.BridgeBindAddress)) {
        link.AddLog(BridgeTexts::kBindAddressNotHere + link.BridgeBindAddress, 1);
        return Conclude(recorder, UpdateStep::SetUp, nullptr);
    }
    if (fReconnect == 0 && link.ReaderFound == 0) {
        link.ShowStatusError();
        return Conclude(recorder, UpdateStep::Connect, nullptr);
    }
    if (fReconnect == 1) {
        const StepScope timed(events_, UpdateStep::Connect);
        // The dialog may move the address or switch re-write mode on or off, and with it the
        // range the run writes: asked again for the settings confirmed there, before the
        // search sends anything.
        bool mayStart = true;
        if (!link.ConnectReader([&] { return mayStart = UpdateMayStart(link); }))
            return Conclude(recorder, mayStart ? UpdateStep::Connect : UpdateStep::Image, nullptr);
    }
    fReconnect = 0;
    TellVersionsBefore(link);
    RunEvent identity;
    identity.kind = RunEvent::Kind::Identity;
    identity.text = link.ReadBridgeMac();
    events_.Emit(identity);
    if (AlreadyCurrent(link, request.skipCurrent)) {
        link.AddLog(UpdateText::AlreadyCurrent + link.RomVersionText() + QStringLiteral(" / ") +
                        link.ChipVersionText(),
                    1);
        recorder.Record().skipped = true;
        return Conclude(recorder, std::nullopt, nullptr);
    }
    const SequenceResult sequence = FirmUpdate(link, events_, request, startUp_.workDir);
    return Conclude(recorder, sequence.failedStep, &sequence);
}

void DeviceSession::TellVersionsBefore(const TFlashWrRXCont& link) {
    // What the connection read; in re-write mode the R/W is in boot mode and nothing was.
    RunEvent before;
    before.kind = RunEvent::Kind::VersionsBefore;
    if (!link.ReWriteMode && link.ReaderFound) {
        before.rom = link.RomVersionText();
        if (link.ChipAnswered)
            before.chip = link.ChipVersionText();
    }
    events_.Emit(before);
}

bool DeviceSession::AlreadyCurrent(const TFlashWrRXCont& link, const QString& version) {
    // The final check's rule: the first four characters.
    constexpr qsizetype kCompared = 4;
    if (version.size() < kCompared || link.ReWriteMode || !link.ReaderFound || !link.ChipAnswered)
        return false;
    const QString wanted = version.left(kCompared);
    return link.RomVersionText().left(kCompared) == wanted &&
           link.ChipVersionText().left(kCompared) == wanted;
}

RunOutcome DeviceSession::Conclude(RunRecorder& recorder, std::optional<UpdateStep> failedStep,
                                   const SequenceResult* sequence) {
    TFlashWrRXCont& link = Link();
    auto outcome = std::make_shared<RunOutcome>();
    outcome->failedStep = failedStep;
    if (sequence) {
        outcome->ErrStage = sequence->ErrStage;
        if (sequence->began) {
            outcome->option = sequence->option;
            outcome->fCpuProg = sequence->fCpuProg;
        }
    }
    // Stopped before its end: a refusal of the link's, not the R/W's answer, ended it.
    const bool interrupted = failedStep && link.StopRequested();
    if (interrupted && !sequence)
        link.AddLog(UpdateText::Interrupted, 1);
    RunRecord& record = recorder.Record();
    record.interrupted = interrupted;
    record.host = link.TCPIPPara.TCPServAddr;
    record.port = link.TCPIPPara.TCPServPort;
    record.reWrite = link.ReWriteMode != 0;
    record.kind = KindText(link.OptionPara.fCPUType);
    record.romSizeCode = link.OptionPara.fROMSize;
    record.image = SummarizeImage(link);
    record.ok = !failedStep;
    record.exitCode = interrupted  ? kExitInterrupted
                      : failedStep ? Step(*failedStep).exitCode
                                   : kExitOk;
    record.errStage = outcome->ErrStage;
    record.failedStep = failedStep ? Step(*failedStep).recordName : QString();
    // The restarted R/W's versions, where the run got as far as reading them (a skipped R/W
    // keeps the ones it had).
    if (!failedStep || failedStep == UpdateStep::Compare ||
        failedStep == UpdateStep::VersionsDiffer)
        record.romVersionAfter = link.RomVersionText();
    if (!failedStep || failedStep == UpdateStep::VersionsDiffer)
        record.chipVersionAfter = link.ChipVersionText();
    recorder.Close();

    if (sequence) {
        // The old controller goes, and its connection with it; what the operator entered stays,
        // and the next controller starts from the speeds the run set.
        const tagTCPIPPara params = link.TCPIPPara;
        startUp_.option = sequence->option;
        Build();
        Link().TCPIPPara = params;
        fReconnect = 1;
    }
    QString error;
    if (!recorder.Write(&error))
        Link().AddLog(kRecordNotSaved + error, 1);
    outcome->record = recorder.Record();

    RunEvent finished;
    finished.kind = RunEvent::Kind::Finished;
    finished.outcome = outcome;
    events_.Emit(finished);
    return *outcome;
}

RunOutcome UpdateDevice(LinkStartUp startUp, const RunRequest& request, LinkQuestions* questions,
                        RunEvents::Subscriber subscriber) {
    // The built-in firmware's lines are news only when it is what the run writes, and never
    // after the result.
    const int forced = startUp.firmwareLinesForced;
    startUp.firmwareLinesForced = request.imageFile.isEmpty() ? forced : 0;
    DeviceSession session(startUp, questions);
    const RunSubscription watching(session.Events(), std::move(subscriber));
    session.Build();
    session.StartUp().firmwareLinesForced = 0;
    // As for a second click in the window: the run starts with the connection procedure.
    session.fReconnect = 1;
    return session.Update(request);
}
