#include "app/TimerResolution.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <timeapi.h>
#include <windows.h>

void RaiseTimerResolution() {
    for (UINT period = 1; period <= 1000; ++period)
        if (timeBeginPeriod(period) != TIMERR_NOCANDO)
            return;
}
#else
void RaiseTimerResolution() {}
#endif
