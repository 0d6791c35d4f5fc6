#include "support/BootLinkFixture.h"

using BootPrimitives = BootLinkTest;

TEST_F(BootPrimitives, WaitAckAcceptsRefusesAndLogsTheErrorCode) {
    AnswerEveryFrame(Bytes({0x06}));
    EXPECT_EQ(link.SendBootByte(0x48, 0x06), 1);

    AnswerEveryFrame(Bytes({0x15, 0x21}));
    EXPECT_EQ(link.SendBootByte(0x48, 0x06), 0);
    EXPECT_EQ(log.lines.last(), QStringLiteral("エラーコード: 21"));

    // The error code never comes: time-out after the full limit, nothing logged.
    log.lines.clear();
    AnswerEveryFrame(Bytes({0x15}));
    const std::uint32_t start = env.NowMs();
    EXPECT_EQ(link.SendBootByte(0x48, 0x06), 0);
    EXPECT_EQ(Elapsed(start), 4000u);
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(BootPrimitives, SecondWaitGetsOnlyWhatIsLeft) {
    // The refusal comes at 3000 ms, its error code at 4500 ms: past the one 4000 ms limit.
    env.SetResponder([this](const QByteArray&) {
        env.Reply(Bytes({0x15}), 3000);
        env.Reply(Bytes({0x2A}), 4500);
    });
    const std::uint32_t start = env.NowMs();
    EXPECT_EQ(link.SendBootByte(0x4D, 0x06), 0);
    EXPECT_EQ(Elapsed(start), 4000u);
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(BootPrimitives, InquiryReplySizesZeroAndMaximum) {
    std::int32_t len = -1;
    TFlashWrRXCont::BootReply buf{};
    AnswerEveryFrame(Bytes({0x37, 0x00, 0xC9}));
    EXPECT_EQ(link.SendInquiry(0x27, 0x37, len, buf), 1);
    EXPECT_EQ(len, 3);

    QByteArray data(255, '\x5A');
    data[254] = '\x01';
    const QByteArray full = InquiryReply(0x30, data);
    ASSERT_EQ(full.size(), 258);
    AnswerEveryFrame(full);
    EXPECT_EQ(link.SendInquiry(0x20, 0x30, len, buf), 1);
    EXPECT_EQ(len, 258);
    EXPECT_EQ(buf[256], 0x01);
    EXPECT_EQ(buf[257], static_cast<std::uint8_t>(full[257]));
}

TEST_F(BootPrimitives, InquiryWrongCodeFailsAtOnceAndWrongSumKeepsTheBytes) {
    std::int32_t len = 0;
    TFlashWrRXCont::BootReply buf{};
    AnswerEveryFrame(Bytes({0x80, 0x00, 0x80}), 5);
    std::uint32_t start = env.NowMs();
    EXPECT_EQ(link.SendInquiry(0x21, 0x31, len, buf), 0);
    EXPECT_LT(Elapsed(start), 100u);
    EXPECT_EQ(link.RxAvailable(), 3); // nothing consumed

    QByteArray bad = InquiryReply(0x37, Bytes({0x01, 0x00}));
    bad[4] = static_cast<char>(bad[4] + 1);
    AnswerEveryFrame(bad);
    start = env.NowMs();
    EXPECT_EQ(link.SendInquiry(0x27, 0x37, len, buf), 0);
    EXPECT_LT(Elapsed(start), 100u);
    EXPECT_EQ(len, 5);
    EXPECT_EQ(buf[2], 0x01);
    EXPECT_EQ(buf[4], static_cast<std::uint8_t>(bad[4]));
}

TEST_F(BootPrimitives, InquiryInPiecesAndPeerGoneMidReply) {
    std::int32_t len = 0;
    TFlashWrRXCont::BootReply buf{};
    const QByteArray reply = InquiryReply(0x3B, Bytes({1, 0, 0x10, 0, 0, 0, 0x10, 0x1F, 0xFF}));
    env.SetResponder([&](const QByteArray&) {
        env.Reply(reply.left(1), 10);
        env.Reply(reply.mid(1, 4), 200);
        env.Reply(reply.mid(5), 3900);
    });
    EXPECT_EQ(link.SendInquiry(0x2B, 0x3B, len, buf), 1);
    EXPECT_EQ(len, reply.size());

    // Half a reply, then the connection drops: the wait ends at its limit with a failure.
    env.SetResponder([&](const QByteArray&) {
        env.Reply(reply.left(4), 10);
        env.OnDisconnect(); // the peer closes before the rest
        env.Reply(reply.mid(4), 50);
    });
    const std::uint32_t start = env.NowMs();
    EXPECT_EQ(link.SendInquiry(0x2B, 0x3B, len, buf), 0);
    EXPECT_EQ(Elapsed(start), 4000u);
    EXPECT_FALSE(link.IsConnected());
}

TEST_F(BootPrimitives, DataReplyBoundsTheAnnouncedLength) {
    std::int32_t len = 0;
    auto dataReply = [](std::uint32_t n, int sent) {
        std::vector<std::uint8_t> r{0x52, std::uint8_t(n >> 24), std::uint8_t(n >> 16),
                                    std::uint8_t(n >> 8), std::uint8_t(n)};
        for (int i = 0; i < sent; ++i)
            r.push_back(static_cast<std::uint8_t>(i));
        r.push_back(tessaly::BootSum(r));
        return Frame(r);
    };
    AnswerEveryFrame(dataReply(256, 256));
    EXPECT_EQ(link.MemRead(1, 0xFFFA0000u, 256, 0), 1);
    AnswerEveryFrame(dataReply(1274, 1274));
    link.SendBootFrame({0x52});
    EXPECT_EQ(link.ReadDataReply(0x52, 5000, len), 1);
    EXPECT_EQ(len, 1280);
    EXPECT_EQ(link.ReplyBuf[1279], static_cast<std::uint8_t>(dataReply(1274, 1274)[1279]));

    // 4 GB announced, and one byte more than ReplyBuf holds: refused at once, nothing stored.
    link.ReplyBuf.fill(0xEE);
    for (std::uint32_t n : {0xFFFFFFFFu, 1275u}) {
        AnswerEveryFrame(dataReply(n, 40));
        len = -1;
        const std::uint32_t start = env.NowMs();
        EXPECT_EQ(link.MemRead(1, 0xFFFA0000u, 256, 0), 0);
        EXPECT_LT(Elapsed(start), 100u);
        EXPECT_EQ(len, -1);
        EXPECT_EQ(link.ReplyBuf[0], 0xEE);
    }
}

TEST_F(BootPrimitives, StatusReplyAndItsErrorCode) {
    std::uint8_t status = 0;
    AnswerEveryFrame(Bytes({0x40}));
    EXPECT_EQ(link.ReadLockBitStatus(0xFFFEFFFFu, status), 1);
    EXPECT_EQ(status, 0x40);
    AnswerEveryFrame(Bytes({0xF1, 0x2A}));
    EXPECT_EQ(link.ReadLockBitStatus(0xFFFEFFFFu, status), 0);
    EXPECT_EQ(status, 0x2A);
    EXPECT_EQ(log.lines.last(), QStringLiteral("エラーコード: 2A"));
}

TEST_F(BootPrimitives, GarbageBeforeACommandIsNotItsReply) {
    env.Reply(Bytes({0x06, 0x30, 0x00}), 1);
    link.WaitRxCount(3, 50);
    ASSERT_EQ(link.RxAvailable(), 3);
    AnswerEveryFrame(Bytes({0x15, 0x80}));
    EXPECT_EQ(link.SendBootByte(0x42, 0x06), 0);
    ASSERT_EQ(env.sent.size(), 1u);
    EXPECT_EQ(env.sent.back(), Bytes({0x42}));
}
