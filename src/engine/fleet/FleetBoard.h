#pragma once

#include "update/RunEvent.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QString>

#include <vector>

// What the operator sees of each device of a fleet run: written by the device runs on their
// threads, read by the view on the main thread.
class FleetBoard {
public:
    enum class Phase { Waiting, Running, Done };

    struct Row {
        QString name; // ADDR:PORT
        Phase phase = Phase::Waiting;
        QString step; // the step running now, as the operator knows it
        int percent = 0;
        qint64 startedMs = 0;
        qint64 endedMs = 0;
        QString result; // "OK" or "NG", and why it stopped when it was stopped
        // What the run found out, as it did: the R/W's identity and its versions.
        QString mac;
        QString romBefore;
        QString chipBefore;
        QString romAfter;
        QString chipAfter;
    };

    explicit FleetBoard(const std::vector<QString>& names);

    void Start(int device);
    // A subscriber of the device's events, on the device's thread: its step, progress, identity
    // and versions.
    void Take(int device, const RunEvent& event);
    void Finish(int device, const QString& result);

    std::vector<Row> Rows() const;
    // What happened since the last call, for a view that prints lines instead of a table: a
    // device starting a step, passing a quarter of it, or ending. Even a step too short for
    // any picture to catch is in here.
    std::vector<Row> TakeEvents();
    // Milliseconds since the board was made: the clock of every row.
    qint64 NowMs() const { return clock_.elapsed(); }
    // Grows with every change, so a view can tell whether there is anything new to draw.
    int Changes() const;

private:
    QElapsedTimer clock_;
    mutable QMutex mutex_;
    void SetStep(int device, const QString& step);
    void SetPercent(int device, int percent);
    void Note(int device, const RunEvent& event);

    std::vector<Row> rows_;
    std::vector<Row> events_;
    int changes_ = 0;
};
