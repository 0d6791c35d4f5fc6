#include "fleet/FleetBoard.h"

#include <utility>

FleetBoard::FleetBoard(const std::vector<QString>& names) {
    clock_.start();
    for (const QString& name : names) {
        Row row;
        row.name = name;
        rows_.push_back(row);
    }
}

void FleetBoard::Start(int device) {
    QMutexLocker lock(&mutex_);
    rows_[device].phase = Phase::Running;
    rows_[device].startedMs = clock_.elapsed();
    ++changes_;
}

void FleetBoard::Take(int device, const RunEvent& event) {
    switch (event.kind) {
    case RunEvent::Kind::StepStarted:
        SetStep(device, Step(event.step).title);
        break;
    case RunEvent::Kind::Progress:
        SetPercent(device, event.percent);
        break;
    case RunEvent::Kind::Identity:
    case RunEvent::Kind::VersionsBefore:
    case RunEvent::Kind::Finished:
        Note(device, event);
        break;
    default:
        break;
    }
}

void FleetBoard::Note(int device, const RunEvent& event) {
    QMutexLocker lock(&mutex_);
    Row& row = rows_[device];
    if (event.kind == RunEvent::Kind::Identity) {
        row.mac = event.text;
    } else if (event.kind == RunEvent::Kind::VersionsBefore) {
        row.romBefore = event.rom.value_or(QString());
        row.chipBefore = event.chip.value_or(QString());
    } else {
        row.romAfter = event.outcome->record.romVersionAfter.value_or(QString());
        row.chipAfter = event.outcome->record.chipVersionAfter.value_or(QString());
    }
    ++changes_;
}

void FleetBoard::SetStep(int device, const QString& step) {
    QMutexLocker lock(&mutex_);
    if (rows_[device].step == step)
        return;
    rows_[device].step = step;
    rows_[device].percent = 0;
    events_.push_back(rows_[device]);
    ++changes_;
}

void FleetBoard::SetPercent(int device, int percent) {
    QMutexLocker lock(&mutex_);
    if (rows_[device].percent == percent)
        return;
    const bool nextQuarter = percent / 25 > rows_[device].percent / 25 && percent < 100;
    rows_[device].percent = percent;
    if (nextQuarter)
        events_.push_back(rows_[device]);
    ++changes_;
}

void FleetBoard::Finish(int device, const QString& result) {
    QMutexLocker lock(&mutex_);
    rows_[device].phase = Phase::Done;
    rows_[device].endedMs = clock_.elapsed();
    rows_[device].result = result;
    events_.push_back(rows_[device]);
    ++changes_;
}

std::vector<FleetBoard::Row> FleetBoard::Rows() const {
    QMutexLocker lock(&mutex_);
    return rows_;
}

std::vector<FleetBoard::Row> FleetBoard::TakeEvents() {
    QMutexLocker lock(&mutex_);
    return std::exchange(events_, {});
}

int FleetBoard::Changes() const {
    QMutexLocker lock(&mutex_);
    return changes_;
}
