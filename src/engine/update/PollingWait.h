#pragma once

#include <functional>

class LinkClock;

// The update's polling wait: repeats `request` until it is answered (nonzero), at most
// 2000 ms from the call and at most 1000 requests. `requests` counts them and may carry the
// count on from an earlier wait. True when a request was answered.
bool PollingWait(LinkClock& clock, int& requests, const std::function<int()>& request);

// The version waits of one run after the restart. The ROM version and the CHIP version after
// the chip updater draw on one count of requests, so that together they never send more than
// one wait may; the final CHIP version check counts afresh.
class RunVersionWaits {
public:
    explicit RunVersionWaits(LinkClock& clock) : clock_(clock) {}
    bool RomVersion(const std::function<int()>& request);
    bool ChipAfterUpdater(const std::function<int()>& request);
    bool FinalChipVersion(const std::function<int()>& request);

private:
    LinkClock& clock_;
    int sharedRequests_ = 0;
};
