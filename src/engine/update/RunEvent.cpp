#include "update/RunEvent.h"

#include <algorithm>

int RunEvents::Subscribe(Subscriber subscriber) {
    subscribers_.emplace_back(nextId_, std::move(subscriber));
    return nextId_++;
}

void RunEvents::Unsubscribe(int id) {
    std::erase_if(subscribers_, [id](const auto& entry) { return entry.first == id; });
}

void RunEvents::Emit(const RunEvent& event) {
    // A subscriber may unsubscribe (or subscribe another) while it is told.
    const auto subscribers = subscribers_;
    for (const auto& [id, subscriber] : subscribers)
        subscriber(event);
}

StepScope::StepScope(RunEvents& events, UpdateStep step) : events_(events), step_(step) {
    Tell(RunEvent::Kind::StepStarted);
}

StepScope::~StepScope() {
    Tell(RunEvent::Kind::StepEnded);
}

void StepScope::Next(UpdateStep next) {
    Tell(RunEvent::Kind::StepEnded);
    step_ = next;
    Tell(RunEvent::Kind::StepStarted);
}

void StepScope::Tell(RunEvent::Kind kind) {
    RunEvent event;
    event.kind = kind;
    event.step = step_;
    events_.Emit(event);
}
