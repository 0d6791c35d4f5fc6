#pragma once

// The finest system timer resolution granted (1 ms, 2 ms, ... up to 1000 ms), held for as long
// as this object lives: the main window holds it from its start-up to its end. Only Windows
// needs this; elsewhere sleeps and ticks are already fine-grained, and this does nothing.
class TimerResolution {
public:
    TimerResolution() = default;
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;
    ~TimerResolution();

    // Asks for 1 ms, then 2 ms, ... and keeps the first period the system accepts.
    void Raise();

private:
    unsigned period_ = 0; // ms; 0 while none is held
};
