#pragma once

#include "cli/ConsoleLog.h"
#include "cli/TerminalProgress.h"
#include "link/LinkOperator.h"
#include "update/RunEvent.h"

// tessaly-cli update's view of its run: the log lines on the console (and in the log file),
// the erase and write progress as a bar on a terminal, and what the window would have shown in
// a box as a message on standard error.
class ConsoleRunView final : public LinkQuestions {
public:
    explicit ConsoleRunView(ConsoleLog& log);

    // A subscriber of the run's events.
    void Take(const RunEvent& event);

    void ShowErrorBox(const QString& text) override;
    void ShowOutOfRangeBox(const QString& text) override;

private:
    ConsoleLog& log_;
    TerminalProgress progress_;
};
