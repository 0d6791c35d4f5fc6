#pragma once

#include "fleet/FleetBoard.h"

#include <QString>

#include <cstdio>
#include <vector>

// The fleet as the operator watches it. On a terminal: a picture redrawn in place that never
// outgrows the window (so nothing is pushed into the scrollback): a summary line (how many wait,
// how many are in each step, OK, NG, skipped), then the rows of the devices that are running or
// have failed (address, step, progress, elapsed time, result), as many as fit. On a pipe or in
// a file: one line whenever a device starts a step or ends, and a summary at the end.
class FleetView {
public:
    FleetView(FleetBoard& board, std::FILE* out);
    // A terminal of `lines` lines (0: ask the terminal each time).
    void SetTerminal(bool terminal, int lines = 0) {
        terminal_ = terminal;
        lines_ = lines;
    }

    // Shows what changed since the last call.
    void Refresh();
    // The last picture and the summary line.
    // `ok` counts the skipped R/Ws too.
    void Summary(int ok, int ng, int skipped, int stopped, qint64 wallMs);

private:
    void DrawTable(const std::vector<FleetBoard::Row>& rows);
    void PrintEvents();

    FleetBoard& board_;
    std::FILE* out_;
    bool terminal_;
    int lines_ = 0;
    int drawnChanges_ = -1;
    int drawnLines_ = 0;
};
