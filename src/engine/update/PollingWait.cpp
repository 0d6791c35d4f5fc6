#include "update/PollingWait.h"

#include "link/LinkEnvironment.h"

#include <cstdint>

namespace {
constexpr std::uint32_t kLimitMs = 2000;
constexpr int kMaxRequests = 1000;
} // namespace

bool PollingWait(LinkClock& clock, int& requests, const std::function<int()>& request) {
    const std::uint32_t start = clock.NowMs();
    // Unsigned difference: a wrap of the tick count in between is harmless.
    while (requests < kMaxRequests && clock.NowMs() - start < kLimitMs) {
        ++requests;
        if (request())
            return true;
    }
    return false;
}

bool RunVersionWaits::RomVersion(const std::function<int()>& request) {
    return PollingWait(clock_, sharedRequests_, request);
}

bool RunVersionWaits::ChipAfterUpdater(const std::function<int()>& request) {
    return PollingWait(clock_, sharedRequests_, request);
}

bool RunVersionWaits::FinalChipVersion(const std::function<int()>& request) {
    int requests = 0;
    return PollingWait(clock_, requests, request);
}
