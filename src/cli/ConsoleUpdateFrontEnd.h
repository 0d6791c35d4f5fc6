#pragma once

#include "cli/ConsoleLog.h"
#include "cli/TerminalProgress.h"
#include "link/LinkOperator.h"
#include "link/LogSink.h"
#include "update/UpdateFrontEnd.h"

// tessaly-cli update's answers to the link and the update sequence: the connection parameters
// come from the command line, the erase and write progress is a bar on a terminal, messages
// go to the console, and the result window, sounds and window states have nothing to show.
class ConsoleUpdateFrontEnd final : public LinkOperator, public UpdateFrontEnd, public LogSink {
public:
    ConsoleUpdateFrontEnd(ConsoleLog& log, const tagTCPIPPara& params);

    // LogSink: log lines to the console (and the log file), taking the bar off first.
    int LineCount() const override { return log_.LineCount(); }
    void Clear() override { log_.Clear(); }
    void AppendLine(const QString& line) override;

    // LinkOperator
    void SetStepTitle(const QString& text) override { progress_.SetPhase(text); }
    void SetGauge(int percent) override { progress_.Update(percent); }
    void ShowErrorBox(const QString& text) override;
    void ShowOutOfRangeBox(const QString& text) override;
    bool AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) override;

    // UpdateFrontEnd
    void OpenResultWindow() override {}
    void SetResultCaption(const QString&) override {}
    void SetResultMessage(const QString&) override {}
    void SetResultFontSize(int) override {}
    void SetResultColour(Colour) override {}
    void SetResultWindowVisible(bool) override {}
    void RaiseResultWindow() override {}
    void ConfirmAndCloseResultWindow() override {} // the console does not wait
    void SetMainWindowEnabled(bool) override {}
    void SetUpdateCommandsEnabled(bool) override {}
    void PlaySound(Sound) override {}
    void ChipUpdaterEnded(int execResult) override;

private:
    ConsoleLog& log_;
    TerminalProgress progress_;
    tagTCPIPPara params_;
};
