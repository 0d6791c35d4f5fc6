#include "support/BootLinkFixture.h"

using BootBitRateMatch = BootLinkTest;

namespace {
int CountBytes(const std::vector<QByteArray>& sent, char value) {
    int n = 0;
    for (const QByteArray& frame : sent)
        n += (frame == QByteArray(1, value)) ? 1 : 0;
    return n;
}
} // namespace

TEST_F(BootBitRateMatch, ReWriteModeGivesUpAfterThirtyBytesAndTwentyOneWaits) {
    link.fCpuProg = 0;
    const std::uint32_t start = env.NowMs();
    EXPECT_EQ(link.BitRateMatch(), 0);
    EXPECT_EQ(env.sent.size(), 30u);
    EXPECT_EQ(CountBytes(env.sent, '\x00'), 30);
    // The pause before the first byte, then 21 waits of 100 ms.
    EXPECT_EQ(Elapsed(start), 100u + 21u * 100u);
}

TEST_F(BootBitRateMatch, ReWriteModeSendsTheFirstTenBeforeItWaits) {
    link.fCpuProg = 0;
    env.SetResponder([this](const QByteArray& frame) {
        if (frame == Bytes({0x00}))
            env.Reply(Bytes({0x00}), 1);
        else if (frame == Bytes({0x55}))
            env.Reply(Bytes({0xE6}), 1);
    });
    EXPECT_EQ(link.BitRateMatch(), 1);
    ASSERT_EQ(env.sent.size(), 11u);
    EXPECT_EQ(CountBytes(env.sent, '\x00'), 10);
    EXPECT_EQ(env.sent.back(), Bytes({0x55}));
}

TEST_F(BootBitRateMatch, AnswerAfterTheTwelfthByte) {
    link.fCpuProg = 0;
    int zeros = 0;
    env.SetResponder([&](const QByteArray& frame) {
        if (frame == Bytes({0x00}) && ++zeros == 12)
            env.Reply(Bytes({0x00}), 30);
        else if (frame == Bytes({0x55}))
            env.Reply(Bytes({0xE6}), 1);
    });
    EXPECT_EQ(link.BitRateMatch(), 1);
    EXPECT_EQ(CountBytes(env.sent, '\x00'), 12);
}

TEST_F(BootBitRateMatch, ProgramModeSendsTenThenWaitsOnce) {
    link.fCpuProg = 1;
    const std::uint32_t start = env.NowMs();
    EXPECT_EQ(link.BitRateMatch(), 0);
    EXPECT_EQ(env.sent.size(), 10u);
    EXPECT_EQ(Elapsed(start), 200u);

    // An answer that is not 0xE6 fails the matching.
    env.sent.clear();
    env.SetResponder([this](const QByteArray& frame) {
        env.Reply(frame == Bytes({0x55}) ? Bytes({0xE5}) : Bytes({0x00}), 1);
    });
    EXPECT_EQ(link.BitRateMatch(), 0);
    EXPECT_EQ(env.sent.size(), 11u);
    EXPECT_EQ(env.sent.back(), Bytes({0x55}));
}
