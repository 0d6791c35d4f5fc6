#pragma once

// Asks the system for the finest timer resolution it grants (1 ms, 2 ms, ... up to 1000 ms).
// Only Windows needs this; elsewhere sleeps and ticks are already fine-grained.
void RaiseTimerResolution();
