#pragma once

#include "fleet/FleetBoard.h"

#include <QString>

#include <cstdio>
#include <vector>

// The fleet as the operator watches it. On a terminal: a table, one row per device (address,
// step, progress, elapsed time, result), redrawn in place. On a pipe or in a file: one line
// whenever a device starts a step or ends, and a summary at the end.
class FleetView {
public:
    FleetView(FleetBoard& board, std::FILE* out);
    void SetTerminal(bool terminal) { terminal_ = terminal; }

    // Shows what changed since the last call.
    void Refresh();
    // The last picture and the summary line.
    void Summary(int ok, int ng, int stopped, qint64 wallMs);

private:
    void DrawTable(const std::vector<FleetBoard::Row>& rows);
    void PrintEvents();

    FleetBoard& board_;
    std::FILE* out_;
    bool terminal_;
    int drawnChanges_ = -1;
    int drawnLines_ = 0;
};
