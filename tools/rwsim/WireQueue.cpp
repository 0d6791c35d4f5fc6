#include "rwsim/WireQueue.h"

#include <algorithm>

namespace rwsim {

WireQueue::WireQueue(bool timed, QObject* parent) : QObject(parent), timed_(timed) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &WireQueue::CompleteDue);
}

void WireQueue::Push(qint64 startDelayNs, qint64 durationNs, std::function<void()> complete) {
    if (!timed_) {
        complete();
        return;
    }
    const qint64 now = clock_.nsecsElapsed();
    const qint64 start = std::max(now + startDelayNs, freeAtNs_);
    freeAtNs_ = start + durationNs;
    pending_.push_back({freeAtNs_, std::move(complete)});
    Arm();
}

void WireQueue::Clear() {
    pending_.clear();
    timer_.stop();
}

void WireQueue::CompleteDue() {
    const qint64 now = clock_.nsecsElapsed();
    while (!pending_.empty() && pending_.front().dueNs <= now) {
        auto complete = std::move(pending_.front().complete);
        pending_.pop_front();
        complete(); // may push or clear
    }
    Arm();
}

void WireQueue::Arm() {
    if (pending_.empty())
        return;
    const qint64 waitNs = pending_.front().dueNs - clock_.nsecsElapsed();
    // Round up: a timer that fires early would only re-arm for the remainder.
    timer_.start(int(std::max<qint64>(0, (waitNs + 999'999) / 1'000'000)));
}

} // namespace rwsim
