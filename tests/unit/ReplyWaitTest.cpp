#include "link/TFlashWrRXCont.h"
#include "support/FakeLinkEnvironment.h"

#include <gtest/gtest.h>

namespace {

// A platform where the awaited event is handled by the second pass of the wait loop, the one
// right before the loop would go to sleep; sleeping moves the fake clock.
class SecondPassPlatform final : public LinkEnvironment, public LinkClock, public EventPump {
public:
    LinkClock& Clock() override { return *this; }
    EventPump& Pump() override { return *this; }
    std::unique_ptr<ByteTransport> MakeTransport() override { return peer.MakeTransport(); }
    std::uint32_t NowMs() override { return now; }
    void ProcessEvents() override {
        if (++passes == 2)
            arrived = true;
    }
    void WaitForEvents(std::uint32_t maxMs) override { now += maxMs; }
    void Sleep(std::uint32_t ms) override { now += ms; }

    FakeLinkEnvironment peer;
    std::uint32_t now = 0;
    int passes = 0;
    bool arrived = false;
};

} // namespace

TEST(ReplyWait, EventHandledJustBeforeSleepingEndsTheWaitAtOnce) {
    SecondPassPlatform platform;
    TFlashWrRXCont link(platform, nullptr, tagOptionPara{}, {});
    link.StartTickTimer();
    EXPECT_TRUE(link.WaitUntil([&] { return platform.arrived; }, 4000));
    EXPECT_EQ(platform.now, 0u);
}
