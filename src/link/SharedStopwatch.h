#pragma once

#include "core/link/Stopwatch.h"

// The program has one stopwatch, shared by every wait: starting it in one wait restarts it for
// all, which is why waits never nest.
tessaly::Stopwatch& SharedStopwatch();
