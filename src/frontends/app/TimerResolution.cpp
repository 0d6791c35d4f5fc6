#include "app/TimerResolution.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>

#include <timeapi.h>

void TimerResolution::Raise() {
    if (period_ != 0)
        return;
    for (UINT period = 1; period <= 1000; ++period) {
        if (timeBeginPeriod(period) != TIMERR_NOCANDO) {
            period_ = period;
            return;
        }
    }
}

TimerResolution::~TimerResolution() {
    // Every granted period is handed back with the same value, or the system keeps it.
    if (period_ != 0)
        timeEndPeriod(period_);
}
#else
void TimerResolution::Raise() {}

TimerResolution::~TimerResolution() = default;
#endif
