#include "link/SharedStopwatch.h"

tessaly::Stopwatch& SharedStopwatch() {
    static tessaly::Stopwatch stopwatch;
    return stopwatch;
}
