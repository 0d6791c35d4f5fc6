#include "app/WindowUpdate.h"

#include "app/TRXProgAppForm.h"
#include "records/RecordsFolder.h"
#include "update/DeviceSession.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
constexpr int kRunningFontSize = 18;
}

WindowUpdate::WindowUpdate(TRXProgAppForm& form) : form_(form) {
    form_.onUpdateRequested = [this] { Run(); };
    connect(&form_.Device(), &DeviceThread::Event, this, &WindowUpdate::Take);
}

WindowUpdate::~WindowUpdate() {
    form_.onUpdateRequested = nullptr;
    delete Confirm1Dlg;
}

void WindowUpdate::Run() {
    const AppSettings& s = form_.Settings();
    RunRequest request;
    request.option = s.option;
    request.ResWaitTime = s.ResWaitTime;
    request.recordsDir = RecordsFolder::ForWorkDir(form_.WorkDir());
    running_ = true;
    jobDone_ = false;
    // Held until the result has been seen, beyond the device's own work.
    form_.Gate().Begin();
    auto outcome = std::make_shared<RunOutcome>();
    form_.RunOnDevice(
        [request, outcome](DeviceSession& session) { *outcome = session.Update(request); },
        [this, outcome] {
            AppSettings& settings = form_.Settings();
            if (outcome->option)
                settings.option = *outcome->option;
            if (outcome->fCpuProg)
                settings.fCpuProg = *outcome->fCpuProg;
            if (outcome->failedStep != UpdateStep::Connect)
                form_.ErrStage = outcome->ErrStage;
            jobDone_ = true;
            EndIfSeen();
        });
}

void WindowUpdate::Take(const RunEvent& event) {
    if (running_)
        presenter_.Take(event);
}

void WindowUpdate::Confirmed() {
    presenter_.Confirmed();
    if (Confirm1Dlg)
        Confirm1Dlg->deleteLater();
    Confirm1Dlg = nullptr;
    EndIfSeen();
}

void WindowUpdate::EndIfSeen() {
    if (!running_ || !jobDone_ || presenter_.ResultShown())
        return;
    running_ = false;
    form_.Gate().End();
}

void WindowUpdate::OpenResultWindow() {
    delete Confirm1Dlg;
    // Without a parent: a disabled main window would disable its child windows too, and the
    // operator could not press "確認". This object owns and deletes it.
    Confirm1Dlg = new TConfirm1Dlg;
    // Modal from the start: nothing else of the program is for the operator meanwhile.
    Confirm1Dlg->setWindowModality(Qt::ApplicationModal);
    Confirm1Dlg->OKBtn->setEnabled(false);
    Confirm1Dlg->Label1->setText(QString());
    Confirm1Dlg->Label2->setText(QString());
    Confirm1Dlg->setEnabled(false);
    Confirm1Dlg->SetLabel1Size(kRunningFontSize);
    // "確認" and closing the window both end it.
    connect(Confirm1Dlg, &QDialog::finished, this, &WindowUpdate::Confirmed);
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

void WindowUpdate::OfferConfirmation() {
    Confirm1Dlg->setEnabled(true);
    Confirm1Dlg->OKBtn->setEnabled(true);
}

void WindowUpdate::SetMainWindowEnabled(bool enabled) {
    form_.setEnabled(enabled);
}

void WindowUpdate::SetUpdateCommandsEnabled(bool enabled) {
    form_.EnableUpdateCommands(enabled);
}

void WindowUpdate::SetStepTitle(const QString& text) {
    form_.STTitle->setText(text);
}

void WindowUpdate::SetAddressText(const QString& text) {
    form_.STAddr->setText(text);
}

void WindowUpdate::SetGauge(int percent) {
    form_.CGauge1->setValue(percent);
}

void WindowUpdate::PlaySound(Sound sound) {
    if (sound == Sound::Success)
        sounds_.PlaySuccess();
    else
        sounds_.PlayFailure();
}
