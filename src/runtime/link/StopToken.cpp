#include "link/StopToken.h"

void StopToken::Request() {
    requested_ = true;
    // Waking the dispatcher alone is not enough: a wait for more events goes on sleeping
    // until one is actually handled.
    QMetaObject::invokeMethod(
        &waker_, [] {}, Qt::QueuedConnection);
}
