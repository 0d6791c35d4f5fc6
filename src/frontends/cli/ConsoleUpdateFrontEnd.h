#pragma once

#include "cli/ConsoleLog.h"
#include "cli/TerminalProgress.h"
#include "headless/HeadlessFrontEnd.h"

// tessaly-cli update's answers to the link and the update sequence: the erase and write
// progress is a bar on a terminal, log lines and messages go to the console.
class ConsoleUpdateFrontEnd final : public HeadlessFrontEnd {
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

    // UpdateFrontEnd
    void ChipUpdaterEnded(int execResult) override;

private:
    ConsoleLog& log_;
    TerminalProgress progress_;
};
