#include "app/TimerResolution.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#include <timeapi.h>

void RaiseTimerResolution() {
    for (UINT period = 1; period <= 1000; ++period)
        if (timeBeginPeriod(period) != TIMERR_NOCANDO)
            return;
}
#else
void RaiseTimerResolution() {}
#endif
