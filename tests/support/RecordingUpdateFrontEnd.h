#pragma once

#include "link/LinkOperator.h"
#include "update/UpdateFrontEnd.h"

#include <QStringList>

// A front end for update tests: every call the sequence makes on the result window, the main
// window, the step title (STTitle) and the sounds is recorded as one short text, in order; the
// link's operator calls that matter to the update (gauge, error box, connection dialog) are
// kept as well.
class RecordingUpdateFrontEnd final : public UpdateFrontEnd, public LinkOperator {
public:
    // UpdateFrontEnd
    void OpenResultWindow() override { Note(QStringLiteral("open")); }
    void SetResultCaption(const QString& text) override { Note(QStringLiteral("label1:") + text); }
    void SetResultMessage(const QString& text) override { Note(QStringLiteral("label2:") + text); }
    void SetResultFontSize(int size) override { Note(QStringLiteral("size:%1").arg(size)); }
    void SetResultColour(Colour c) override {
        Note(c == Colour::Blue ? QStringLiteral("colour:blue") : QStringLiteral("colour:red"));
    }
    void SetResultWindowVisible(bool v) override { Note(QStringLiteral("visible:%1").arg(v)); }
    void RaiseResultWindow() override { Note(QStringLiteral("raise")); }
    void ConfirmAndCloseResultWindow() override { Note(QStringLiteral("confirm")); }
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
    void ChipUpdaterEnded(int execResult) override {
        Note(QStringLiteral("chip-ended:%1").arg(execResult));
    }

    // LinkOperator
    void SetStepTitle(const QString& text) override {
        stepTitle = text;
        Note(QStringLiteral("title:") + text);
    }
    void SetGauge(int percent) override { gauge = percent; }
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
};
