#pragma once

#include "app/UpdatePresenter.h"
#include "app/UpdateView.h"
#include "link/LinkOperator.h"
#include "update/RunEvent.h"

#include <QStringList>

#include <optional>

// The window for update tests, without widgets: it follows a device's events with the window's
// own presenter and records every call made on the result window, the main window, the step
// title (STTitle) and the sounds as one short text, in order, pressing "確認" as soon as it is
// offered. It also answers the device's questions (connection dialog, error box) as scripted.
class RecordingUpdateFrontEnd final : public UpdateView, public LinkQuestions {
public:
    RecordingUpdateFrontEnd() { presenter_.emplace(*this); }

    // A subscriber of the device's events.
    void Take(const RunEvent& event) {
        if (event.kind == RunEvent::Kind::ChipUpdaterEnded)
            Note(QStringLiteral("chip-ended:%1").arg(event.execResult));
        presenter_->Take(event);
    }
    // As at program start.
    void Reset() {
        calls.clear();
        mainEnabled = commandsEnabled = true;
        stepTitle.clear();
        gauge = -1;
        errorBoxes.clear();
        dialogs = 0;
        answerDialog = true;
        dialogParams = {};
        dialogReWriteMode = -1;
        presenter_.emplace(*this);
    }

    // UpdateView
    void OpenResultWindow() override { Note(QStringLiteral("open")); }
    void SetResultCaption(const QString& text) override { Note(QStringLiteral("label1:") + text); }
    void SetResultMessage(const QString& text) override { Note(QStringLiteral("label2:") + text); }
    void SetResultFontSize(int size) override { Note(QStringLiteral("size:%1").arg(size)); }
    void SetResultColour(Colour c) override {
        Note(c == Colour::Blue ? QStringLiteral("colour:blue") : QStringLiteral("colour:red"));
    }
    void SetResultWindowVisible(bool v) override { Note(QStringLiteral("visible:%1").arg(v)); }
    void RaiseResultWindow() override { Note(QStringLiteral("raise")); }
    void OfferConfirmation() override {
        Note(QStringLiteral("confirm"));
        presenter_->Confirmed();
    }
    void SetMainWindowEnabled(bool e) override {
        mainEnabled = e;
        Note(QStringLiteral("main:%1").arg(e));
    }
    void SetUpdateCommandsEnabled(bool e) override {
        commandsEnabled = e;
        Note(QStringLiteral("commands:%1").arg(e));
    }
    void PlaySound(Sound s) override {
        Note(s == Sound::Success ? QStringLiteral("sound:ring") : QStringLiteral("sound:alarm"));
    }
    void SetStepTitle(const QString& text) override {
        stepTitle = text;
        Note(QStringLiteral("title:") + text);
    }
    void SetAddressText(const QString&) override {}
    void SetGauge(int percent) override { gauge = percent; }

    // LinkQuestions
    void ShowErrorBox(const QString& text) override { errorBoxes << text; }
    bool AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) override {
        ++dialogs;
        if (!answerDialog)
            return false;
        params = dialogParams;
        reWriteMode = dialogReWriteMode < 0 ? reWriteMode : dialogReWriteMode;
        return true;
    }

    bool Saw(const QString& call) const { return calls.contains(call); }

    QStringList calls;
    bool mainEnabled = true;
    bool commandsEnabled = true;
    QString stepTitle;
    int gauge = -1;
    QStringList errorBoxes;

    // The connection dialog's answer: confirmed with these parameters, or cancelled.
    int dialogs = 0;
    bool answerDialog = true;
    tagTCPIPPara dialogParams;
    int dialogReWriteMode = -1; // -1 keeps the controller's

private:
    void Note(const QString& call) { calls << call; }

    std::optional<UpdatePresenter> presenter_;
};
