#include "cli/fleet/FleetBoard.h"

FleetBoard::FleetBoard(const std::vector<QString>& names) {
    clock_.start();
    for (const QString& name : names)
        rows_.push_back(Row{name});
}

void FleetBoard::Start(int device) {
    QMutexLocker lock(&mutex_);
    rows_[device].phase = Phase::Running;
    rows_[device].startedMs = clock_.elapsed();
    ++changes_;
}

void FleetBoard::SetStep(int device, const QString& step) {
    QMutexLocker lock(&mutex_);
    if (rows_[device].step == step)
        return;
    rows_[device].step = step;
    rows_[device].percent = 0;
    ++changes_;
}

void FleetBoard::SetPercent(int device, int percent) {
    QMutexLocker lock(&mutex_);
    if (rows_[device].percent == percent)
        return;
    rows_[device].percent = percent;
    ++changes_;
}

void FleetBoard::Finish(int device, const QString& result) {
    QMutexLocker lock(&mutex_);
    rows_[device].phase = Phase::Done;
    rows_[device].endedMs = clock_.elapsed();
    rows_[device].result = result;
    ++changes_;
}

std::vector<FleetBoard::Row> FleetBoard::Rows() const {
    QMutexLocker lock(&mutex_);
    return rows_;
}

int FleetBoard::Changes() const {
    QMutexLocker lock(&mutex_);
    return changes_;
}
