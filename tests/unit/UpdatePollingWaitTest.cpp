#include "support/FakeLinkEnvironment.h"
#include "update/PollingWait.h"

#include <gtest/gtest.h>

namespace {

// A request that is never answered and takes `costMs` of fake time.
struct SilentRequest {
    FakeLinkEnvironment& env;
    std::uint32_t costMs;
    int calls = 0;
    int operator()() {
        ++calls;
        env.Sleep(costMs);
        return 0;
    }
};

} // namespace

TEST(UpdatePollingWait, StopsAtTheFirstAnswer) {
    FakeLinkEnvironment env;
    int requests = 0;
    int calls = 0;
    EXPECT_TRUE(PollingWait(env, requests, [&] { return ++calls == 5 ? 1 : 0; }));
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(requests, 5);
}

TEST(UpdatePollingWait, QuickFailuresEndAfterAThousandRequests) {
    FakeLinkEnvironment env;
    SilentRequest request{env, 1};
    int requests = 0;
    EXPECT_FALSE(PollingWait(env, requests, std::ref(request)));
    EXPECT_EQ(request.calls, 1000);
    EXPECT_EQ(requests, 1000);
}

TEST(UpdatePollingWait, SlowFailuresEndAfterTwoSeconds) {
    FakeLinkEnvironment env;
    env.SetNow(0xFFFFFC00u); // the tick count wraps during the wait
    SilentRequest request{env, 3};
    int requests = 0;
    EXPECT_FALSE(PollingWait(env, requests, std::ref(request)));
    EXPECT_EQ(request.calls, 667); // 667 x 3 ms reaches 2001 ms
    // A reply wait of 4000 ms allows one request only.
    SilentRequest slow{env, 4000};
    requests = 0;
    EXPECT_FALSE(PollingWait(env, requests, std::ref(slow)));
    EXPECT_EQ(slow.calls, 1);
}

TEST(UpdatePollingWait, ASharedCountLeavesTheSecondWaitWhatIsLeft) {
    FakeLinkEnvironment env;
    int requests = 0;
    int first = 0;
    EXPECT_TRUE(PollingWait(env, requests, [&] { return ++first == 400 ? 1 : 0; }));
    SilentRequest second{env, 1};
    EXPECT_FALSE(PollingWait(env, requests, std::ref(second)));
    EXPECT_EQ(second.calls, 600);
    // Spent: a further wait on the same count sends nothing.
    SilentRequest third{env, 1};
    EXPECT_FALSE(PollingWait(env, requests, std::ref(third)));
    EXPECT_EQ(third.calls, 0);
}

TEST(UpdatePollingWait, TheRunsVersionWaitsShareTheirCountUntilTheFinalCheck) {
    FakeLinkEnvironment env;
    RunVersionWaits waits(env);
    int rom = 0;
    EXPECT_TRUE(waits.RomVersion([&] { return ++rom == 400 ? 1 : 0; }));
    SilentRequest chip{env, 1};
    EXPECT_FALSE(waits.ChipAfterUpdater(std::ref(chip)));
    EXPECT_EQ(chip.calls, 600);
    SilentRequest final{env, 1};
    EXPECT_FALSE(waits.FinalChipVersion(std::ref(final)));
    EXPECT_EQ(final.calls, 1000);
}
