#pragma once

#include <functional>

class LinkClock;

// The update's polling wait: repeats `request` until it is answered (nonzero), at most
// 2000 ms from the call and at most 1000 requests. `requests` counts them and may carry the
// count on from an earlier wait. True when a request was answered.
bool PollingWait(LinkClock& clock, int& requests, const std::function<int()>& request);
