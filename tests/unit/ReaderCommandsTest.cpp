#include "link/ReaderTexts.h"
#include "link/TFlashWrRXCont.h"
#include "support/FakeLinkEnvironment.h"
#include "support/ReaderReplies.h"
#include "support/VectorLogSink.h"

#include <gtest/gtest.h>

using namespace ReaderReplies;

namespace {

class ReaderCommands : public ::testing::Test {
protected:
    void SetUp() override {
        link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
        ASSERT_EQ(link.OpenLink(), 1);
        env.sent.clear();
    }

    // Fake milliseconds a call took.
    template <typename F> std::uint32_t Took(F&& call) {
        const std::uint32_t start = env.NowMs();
        call();
        return env.NowMs() - start;
    }

    FakeLinkEnvironment env;
    VectorLogSink log;
    TFlashWrRXCont link{env, &log, tagOptionPara{}, {}};
};

} // namespace

TEST_F(ReaderCommands, OperationModeSetSendsItsFrameAndJudgesPositionTwo) {
    env.SetResponder([&](const QByteArray&) { env.Reply(Ack()); });
    EXPECT_EQ(link.DousaModeSet(0, 0, 0, 8, 0), 1);
    ASSERT_EQ(env.sent.size(), 1u);
    EXPECT_EQ(env.sent[0], Bytes({0x02, 0x00, 0x4E, 0x07, 0x00, 0x00, 0x00, 0x08, 0x01, 0x00, 0x00,
                                  0x03, 0x63, 0x0D}));

    EXPECT_EQ(link.DousaModeSet(1, 0, 0, 8, 0x1234), 1);
    EXPECT_EQ(env.sent[1].mid(4, 7), Bytes({0x10, 0x00, 0x00, 0x08, 0x01, 0x12, 0x34}));

    env.SetResponder([&](const QByteArray&) { env.Reply(Nack()); });
    EXPECT_EQ(link.DousaModeSet(0, 0, 0, 8, 0), 0);
}

TEST_F(ReaderCommands, SilentPeerEndsCommandsAtTheirLimits) {
    link.fDispDebugInfo = 1;
    EXPECT_EQ(Took([&] { EXPECT_EQ(link.DousaModeSet(0, 0, 0, 8, 0), 0); }), 4000u);
    EXPECT_FALSE(log.Contains(ReaderTexts::kTimeOver)); // the mode set fails silently
    EXPECT_EQ(Took([&] { EXPECT_EQ(link.SendSubCommand9D(), 0); }), 4000u);
    EXPECT_EQ(env.sent.back(), Bytes({0x02, 0x00, 0x4E, 0x01, 0x9D, 0x03, 0xF1, 0x0D}));
    EXPECT_FALSE(log.Contains(ReaderTexts::kTimeOver));

    link.LastReplyOk = 1;
    EXPECT_EQ(Took([&] { EXPECT_EQ(link.GetRomVersion(1), 0); }), 4000u);
    EXPECT_EQ(link.LastReplyOk, 0);
    EXPECT_TRUE(log.Contains(ReaderTexts::kTimeOver));
}

TEST_F(ReaderCommands, SubCommand9DAcknowledged) {
    env.SetResponder([&](const QByteArray&) { env.Reply(Ack()); });
    EXPECT_EQ(link.SendSubCommand9D(), 1);
}

TEST_F(ReaderCommands, RomVersionNeedsSeventeenBytesAndKeepsTheOldOneOnTimeOut) {
    env.SetResponder([&](const QByteArray& f) {
        if (IsRomRequest(f))
            env.Reply(RomVersion("1234ABCDE"));
    });
    EXPECT_EQ(link.GetRomVersion(1), 1);
    EXPECT_EQ(link.RomVersionText(), QStringLiteral("1234ABCDE"));
    EXPECT_EQ(link.RomVersion[9], '\0');
    EXPECT_EQ(link.LastReplyOk, 1);
    EXPECT_TRUE(log.Contains(ReaderTexts::kRomVersion + QStringLiteral("1234ABCDE")));
    EXPECT_EQ(env.sent.back(), Bytes({0x02, 0x00, 0x4F, 0x02, 0x90, 0x00, 0x03, 0xE6, 0x0D}));

    // One byte short: a time-out, and the version read before stays.
    env.SetResponder([&](const QByteArray&) { env.Reply(RomVersion("9999ZZZZZ").left(16)); });
    link.fDispDebugInfo = 1;
    EXPECT_EQ(Took([&] { EXPECT_EQ(link.GetRomVersion(1), 0); }), 4000u);
    EXPECT_EQ(link.LastReplyOk, 0);
    EXPECT_EQ(link.RomVersionText(), QStringLiteral("1234ABCDE"));
    EXPECT_TRUE(log.Contains(ReaderTexts::kTimeOver));
}

TEST_F(ReaderCommands, RomVersionArrivingInPiecesIsCountedTogether) {
    env.SetResponder([&](const QByteArray&) {
        const QByteArray reply = RomVersion("AB12CD34E");
        env.Reply(reply.left(5), 3);
        env.Reply(reply.mid(5), 900);
    });
    EXPECT_EQ(link.GetRomVersion(0), 1);
    EXPECT_EQ(link.RomVersionText(), QStringLiteral("AB12CD34E"));
    EXPECT_FALSE(log.Contains(ReaderTexts::kRomVersion + QStringLiteral("AB12CD34E")));
}

TEST_F(ReaderCommands, ChipVersionTakesBytesSixToFourteenOfEighteen) {
    env.SetResponder([&](const QByteArray& f) {
        if (IsChipRequest(f))
            env.Reply(ChipVersion("5678FGHIJ"));
    });
    EXPECT_EQ(link.GetChipVersion(1), 1);
    EXPECT_EQ(link.ChipVersionText(), QStringLiteral("5678FGHIJ"));
    EXPECT_TRUE(log.Contains(ReaderTexts::kChipVersion + QStringLiteral("5678FGHIJ")));
    EXPECT_EQ(env.sent.back(), Bytes({0x02, 0x00, 0x55, 0x02, 0x90, 0x00, 0x03, 0xEC, 0x0D}));

    // A ROM-sized reply (17 bytes) is one short for the CHIP.
    env.SetResponder([&](const QByteArray&) { env.Reply(RomVersion("000000000")); });
    EXPECT_EQ(link.GetChipVersion(1), 0);
    EXPECT_EQ(link.ChipVersionText(), QStringLiteral("5678FGHIJ"));
}

TEST_F(ReaderCommands, VersionRequestDumpIsShownWithoutDebugLines) {
    env.SetResponder([&](const QByteArray&) { env.Reply(RomVersion("1234ABCDE")); });
    link.GetRomVersion(0);
    const QString dump = QStringLiteral("02 00 4F 02 90 00 03 E6 0D ");
    EXPECT_TRUE(log.Contains(dump));
    EXPECT_FALSE(log.Contains(ReaderTexts::kRomVersionRequest));
    EXPECT_FALSE(log.Contains(QStringLiteral("TX: ") + dump));

    log.lines.clear();
    link.fDispDebugInfo = 1;
    link.GetRomVersion(0);
    EXPECT_TRUE(log.Contains(ReaderTexts::kRomVersionRequest));
    EXPECT_TRUE(log.Contains(QStringLiteral("TX: ") + dump));

    log.lines.clear();
    link.fDispTxInfo = 0;
    link.GetRomVersion(0);
    EXPECT_FALSE(log.Contains(dump));
}

TEST_F(ReaderCommands, CheckReaderCountsOnlyTheSecondModeSet) {
    int modeSets = 0;
    bool ackFirstOnly = false;
    env.SetResponder([&](const QByteArray& f) {
        if (IsDousaModeSet(f)) {
            ++modeSets;
            const bool ack = ackFirstOnly ? modeSets == 1 : modeSets == 2;
            env.Reply(ack ? Ack() : Nack());
        } else if (IsRomRequest(f)) {
            env.Reply(RomVersion("1234ABCDE"));
        }
    });
    EXPECT_EQ(link.CheckReader(), 1);
    EXPECT_EQ(modeSets, 2);
    EXPECT_EQ(link.RomVersionText(), QStringLiteral("1234ABCDE"));
    EXPECT_TRUE(log.Contains(ReaderTexts::kRomVersion + QStringLiteral("1234ABCDE")));

    modeSets = 0;
    ackFirstOnly = true;
    env.sent.clear();
    EXPECT_EQ(link.CheckReader(), 0);
    EXPECT_EQ(env.sent.size(), 2u); // no ROM version request
}

TEST_F(ReaderCommands, CheckReaderEndsWithTheRomVersionRequest) {
    env.SetResponder([&](const QByteArray& f) {
        if (IsDousaModeSet(f))
            env.Reply(Ack());
    });
    EXPECT_EQ(link.CheckReader(), 0);
    EXPECT_TRUE(IsRomRequest(env.sent.back()));
}

TEST_F(ReaderCommands, CheckReaderOnAClosedLinkSendsNothing) {
    link.CloseLink();
    env.sent.clear();
    EXPECT_EQ(Took([&] { EXPECT_EQ(link.CheckReader(), 0); }), 0u);
    EXPECT_TRUE(env.sent.empty());
}

TEST_F(ReaderCommands, ProgramModeAlwaysSucceedsAndLogsWhatCame) {
    link.fDispDebugInfo = 1;
    EXPECT_EQ(Took([&] { EXPECT_EQ(link.SetProgMode(), 1); }), 1500u);
    EXPECT_EQ(link.LastReplyOk, 0);
    EXPECT_TRUE(log.Contains(ReaderTexts::kTimeOver));
    const QByteArray sent = env.sent.back();
    ASSERT_EQ(sent.size(), 17);
    EXPECT_EQ(sent.mid(4, 10), QByteArray("\x9B"
                                          "480215379"));

    env.SetResponder([&](const QByteArray&) { env.Reply(Nack().left(6)); });
    EXPECT_EQ(link.SetProgMode(), 1);
    EXPECT_EQ(link.LastReplyOk, 1);
    EXPECT_EQ(log.lines.last(), ReaderTexts::kError);

    env.SetResponder([&](const QByteArray&) { env.Reply(Ack()); });
    EXPECT_EQ(link.SetProgMode(), 1);
    EXPECT_EQ(log.lines.last(), ReaderTexts::kAckReceived);
}

TEST_F(ReaderCommands, ProgramModeIgnoresBytesThatCameBefore) {
    link.fDispDebugInfo = 1;
    // A late refusal of an earlier command is waiting in the ring; the switch judges the R/W's
    // answer to its own frame, which accepts it.
    env.Reply(Nack(), 1);
    env.WaitForEvents(5);
    ASSERT_EQ(link.RxAvailable(), 7);
    env.SetResponder([&](const QByteArray&) { env.Reply(Ack(), 3); });
    EXPECT_EQ(link.SetProgMode(), 1);
    EXPECT_EQ(link.LastReplyOk, 1);
    EXPECT_EQ(log.lines.last(), ReaderTexts::kAckReceived);
    EXPECT_EQ(link.RxAvailable(), 1); // the last byte of that answer, nothing older
}
