#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace rwsim {

// One direction of the serial wire under the timing model: each transfer starts when the
// wire is free (and not before its own start delay) and completes after its duration, in
// order. The event loop's timers do the waiting; with the model off every transfer completes
// at once.
class WireQueue : public QObject {
public:
    explicit WireQueue(bool timed, QObject* parent = nullptr);

    void Push(qint64 startDelayNs, qint64 durationNs, std::function<void()> complete);
    void Clear(); // what was on the wire is lost

private:
    void CompleteDue();
    void Arm();

    struct Transfer {
        qint64 dueNs;
        std::function<void()> complete;
    };
    bool timed_;
    QElapsedTimer clock_;
    QTimer timer_;
    qint64 freeAtNs_ = 0;
    std::deque<Transfer> pending_;
};

// Wire time of `count` bytes at `bps`: a start bit, 8 data bits and a stop bit each.
inline qint64 WireTimeNs(qsizetype count, int bps) {
    return bps > 0 ? qint64(count) * 10 * 1'000'000'000LL / bps : 0;
}

} // namespace rwsim
