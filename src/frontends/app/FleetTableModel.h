#pragma once

#include "fleet/FleetBoard.h"
#include "fleet/FleetTargets.h"
#include "records/RunRecord.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

// The fleet window's table: one row per R/W, what it is and how its last update went. Rows are
// changed one at a time (dataChanged for that row alone), so a batch of hundreds never repaints
// the whole table for every step.
class FleetTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Address,
        Port,
        ReWrite,
        Mac,
        State,
        StepColumn,
        Percent,
        RomBefore,
        ChipBefore,
        RomAfter,
        ChipAfter,
        Result,
        Seconds,
        ColumnCount
    };

    struct Entry {
        FleetTarget target;
        FleetBoard::Row live;            // as the board last showed it (phase Waiting: not run)
        bool queued = false;             // in the batch that runs now, not started yet
        std::optional<RunRecord> record; // of its last update
        QString logFile;
    };

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // A text as wide as what the column usually holds at its widest, to size it by once (sizing
    // to the contents would measure every row at every redraw).
    static QString WidestText(int column);

    const std::vector<Entry>& Entries() const { return entries_; }
    const Entry& At(int row) const { return entries_[std::size_t(row)]; }
    // False (nothing added) for an address the table holds already.
    bool Add(const FleetTarget& target);
    void Remove(std::vector<int> rows);

    // A batch over `rows` begins: they wait for their turn.
    void Queue(const std::vector<int>& rows);
    // What the board says of a row now; only a row that changed is redrawn.
    void Show(int row, const FleetBoard::Row& live);
    // The row's update is over.
    void Finish(int row, const std::optional<RunRecord>& record, const QString& logFile);

    // The result as the operator reads it: OK, スキップ, or NG with the exit code and what it
    // means.
    static QString ResultText(const Entry& entry);

private:
    void RowChanged(int row);

    std::vector<Entry> entries_;
};
