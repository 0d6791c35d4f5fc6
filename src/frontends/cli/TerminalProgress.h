#pragma once

#include <QString>

#include <cstdio>

// The erase and write progress as a one-line bar, redrawn in place, on a terminal only: when
// the output goes to a file or a pipe nothing is drawn and the output holds log lines only.
class TerminalProgress {
public:
    explicit TerminalProgress(std::FILE* out);
    // Forces drawing on or off (tests; a terminal is detected by default).
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    // The name of the step now running (the main window's STTitle).
    void SetPhase(const QString& title) { phase_ = title; }
    // Draws the bar for the running step at `percent` (0-100).
    void Update(int percent);
    // Takes the bar off the line so that a log line can be printed in its place.
    void Clear();

private:
    std::FILE* out_;
    bool enabled_;
    bool drawn_ = false;
    int lastPercent_ = -1;
    QString phase_;
};
