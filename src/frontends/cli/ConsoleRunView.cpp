#include "cli/ConsoleRunView.h"

#include "update/ExecChildProcess.h"

#include <cstdio>

ConsoleRunView::ConsoleRunView(ConsoleLog& log) : log_(log), progress_(stdout) {}

void ConsoleRunView::Take(const RunEvent& event) {
    switch (event.kind) {
    case RunEvent::Kind::Log:
        progress_.Clear();
        log_.AppendLine(event.text, event.forced);
        break;
    case RunEvent::Kind::StepStarted:
        // The bar is named as the main window's step title.
        if (Step(event.step).setsMainTitle)
            progress_.SetPhase(Step(event.step).mainTitle);
        break;
    case RunEvent::Kind::Progress:
        progress_.Update(event.percent);
        break;
    case RunEvent::Kind::ChipUpdaterEnded:
        if (event.execResult == 0) {
            // The updater's exit code is printed without a line feed; end the line here so
            // that the log lines that follow start on their own.
            std::fputc('\n', stdout);
            std::fflush(stdout);
        } else if (event.execResult == ExecChildTimedOut) {
            std::fputs("tessaly-cli update: the chip updater ran past --chip-timeout and was "
                       "stopped\n",
                       stderr);
        } else if (event.execResult != ExecChildStopped) {
            std::fprintf(stderr, "tessaly-cli update: the chip updater could not be started (%d)\n",
                         event.execResult);
        }
        break;
    case RunEvent::Kind::Finished:
        progress_.SetPhase(QString());
        progress_.Clear();
        break;
    default:
        break;
    }
}

void ConsoleRunView::ShowErrorBox(const QString& text) {
    progress_.Clear();
    std::fprintf(stderr, "error: %s\n", text.toUtf8().constData());
}

void ConsoleRunView::ShowOutOfRangeBox(const QString& text) {
    progress_.Clear();
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
}
