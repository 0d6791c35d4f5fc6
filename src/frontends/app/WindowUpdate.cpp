#include "app/WindowUpdate.h"

#include "app/TConfirm1Dlg.h"
#include "app/TRXProgAppForm.h"
#include "link/TFlashWrRXCont.h"
#include "records/RecordsFolder.h"
#include "records/RunRecorder.h"

#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kRunningFontSize = 18;
}

WindowUpdate::WindowUpdate(TRXProgAppForm& form) : form_(form), session_(*this, *this) {
    form_.onUpdateRequested = [this] { Run(); };
}

WindowUpdate::~WindowUpdate() {
    form_.onUpdateRequested = nullptr;
    delete Confirm1Dlg;
}

void WindowUpdate::Run() {
    // The run's lines pass through its recorder on their way to the pane; the controller
    // rebuilt at the end of the run logs straight into the pane again.
    RunRecorder recorder(&form_.MemoSink(), RecordsFolder::ForWorkDir(form_.WorkDir()));
    Link().SetLogMemo(&recorder);
    AppSettings& s = form_.Settings();
    UpdateSettings settings{.option = s.option,
                            .fCpuProg = s.fCpuProg,
                            .ResWaitTime = s.ResWaitTime,
                            .WorkDir = form_.WorkDir(),
                            .VerDigits = form_.VerDigits(),
                            .observer = &recorder};
    const UpdateOutcome outcome = session_.TB_WriteClick(settings);
    Link().SetLogMemo(&form_.MemoSink());
    recorder.Finish();
    if (outcome.failedStep != UpdateStep::NoReader)
        form_.ErrStage = outcome.ErrStage;
}

TFlashWrRXCont& WindowUpdate::Link() {
    return *form_.Link();
}

void WindowUpdate::RebuildLink() {
    form_.RebuildLinkController();
}

void WindowUpdate::OpenResultWindow() {
    delete Confirm1Dlg;
    // Without a parent: a disabled main window would disable its child windows too, and the
    // operator could not press "確認". This object owns and deletes it.
    Confirm1Dlg = new TConfirm1Dlg;
    // Modal from the start, so that it is modal while it waits for "確認" too (a dialog that is
    // already on screen does not become modal by being executed).
    Confirm1Dlg->setWindowModality(Qt::ApplicationModal);
    Confirm1Dlg->OKBtn->setEnabled(false);
    Confirm1Dlg->Label1->setText(QString());
    Confirm1Dlg->Label2->setText(QString());
    Confirm1Dlg->setEnabled(false);
    Confirm1Dlg->SetLabel1Size(kRunningFontSize);
    Confirm1Dlg->show();
    RaiseResultWindow();
}

void WindowUpdate::SetResultCaption(const QString& text) {
    Confirm1Dlg->Label1->setText(text);
}

void WindowUpdate::SetResultMessage(const QString& text) {
    Confirm1Dlg->Label2->setText(text);
}

void WindowUpdate::SetResultFontSize(int size) {
    Confirm1Dlg->SetLabel1Size(size);
}

void WindowUpdate::SetResultColour(Colour colour) {
    Confirm1Dlg->SetLabel1Colour(colour == Colour::Blue ? Qt::blue : Qt::red);
}

void WindowUpdate::SetResultWindowVisible(bool visible) {
    Confirm1Dlg->setVisible(visible);
}

void WindowUpdate::RaiseResultWindow() {
    Confirm1Dlg->raise();
    Confirm1Dlg->activateWindow();
}

void WindowUpdate::ConfirmAndCloseResultWindow() {
    Confirm1Dlg->setEnabled(true);
    Confirm1Dlg->OKBtn->setEnabled(true);
    // "OK" / "NG" stays until the operator has seen it: the dialog's own loop ends with
    // "確認" or with closing the dialog.
    Confirm1Dlg->exec();
    delete Confirm1Dlg;
}

void WindowUpdate::SetMainWindowEnabled(bool enabled) {
    form_.setEnabled(enabled);
}

void WindowUpdate::SetUpdateCommandsEnabled(bool enabled) {
    form_.EnableUpdateCommands(enabled);
}

void WindowUpdate::PlaySound(Sound sound) {
    if (sound == Sound::Success)
        sounds_.PlaySuccess();
    else
        sounds_.PlayFailure();
}
