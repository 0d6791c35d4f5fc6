#include "cli/ConsoleUpdateFrontEnd.h"

#include "update/ExecChildProcess.h"

#include <cstdio>

ConsoleUpdateFrontEnd::ConsoleUpdateFrontEnd(ConsoleLog& log, const tagTCPIPPara& params)
    : HeadlessFrontEnd(params), log_(log), progress_(stdout) {}

void ConsoleUpdateFrontEnd::AppendLine(const QString& line) {
    progress_.Clear();
    log_.AppendLine(line);
}

void ConsoleUpdateFrontEnd::ShowErrorBox(const QString& text) {
    progress_.Clear();
    std::fprintf(stderr, "error: %s\n", text.toUtf8().constData());
}

void ConsoleUpdateFrontEnd::ShowOutOfRangeBox(const QString& text) {
    progress_.Clear();
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
}

void ConsoleUpdateFrontEnd::ChipUpdaterEnded(int execResult) {
    if (execResult == 0) {
        // The updater's exit code is printed without a line feed; end the line here so that
        // the log lines that follow start on their own.
        std::fputc('\n', stdout);
        std::fflush(stdout);
    } else if (execResult == ExecChildTimedOut) {
        std::fputs("tessaly-cli update: the chip updater ran past --chip-timeout and was "
                   "stopped\n",
                   stderr);
    } else {
        std::fprintf(stderr, "tessaly-cli update: the chip updater could not be started (%d)\n",
                     execResult);
    }
}
