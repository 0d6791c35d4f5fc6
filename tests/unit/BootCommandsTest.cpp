#include "core/boot/BootIdCodes.h"
#include "support/BootLinkFixture.h"

using BootCommands = BootLinkTest;

TEST_F(BootCommands, EndFrameIsSixBytesWhateverThePage) {
    std::array<std::uint8_t, 256> page{};
    page.fill(0x12);
    AnswerEveryFrame(Bytes({0x06}));
    EXPECT_EQ(link.Write256Bytes(0xFFFFFFFFu, page), 1);
    ASSERT_EQ(env.sent.size(), 1u);
    EXPECT_EQ(env.sent[0], Bytes({0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xB4}));
}

TEST_F(BootCommands, DeviceSelectAnswerDependsOnKind) {
    UseKind(5);
    AnswerEveryFrame(Bytes({0x06}));
    EXPECT_EQ(link.DeviceSelect({'8', 'a', '0', '2'}), 0);
    EXPECT_EQ(env.sent.back(), Bytes({0x10, 0x04, 0x38, 0x61, 0x30, 0x32, 0xF1}));
    AnswerEveryFrame(Bytes({0x46}));
    EXPECT_EQ(link.DeviceSelect({'8', 'a', '0', '2'}), 1);
    UseKind(6);
    EXPECT_EQ(link.DeviceSelect(link.DeviceCode), 0);
    EXPECT_EQ(env.sent.back(), Bytes({0x10, 0x04, '7', '5', '0', '5', 0x1B}));
    AnswerEveryFrame(Bytes({0x06}));
    EXPECT_EQ(link.DeviceSelect(link.DeviceCode), 1);
}

TEST_F(BootCommands, EraseStatusSetJudgesTheStateByKind) {
    std::uint8_t state = 0xAA;
    struct Case {
        int kind;
        int answer;
        int result;
    };
    for (const Case c : {Case{5, 0x26, 0}, Case{5, 0x06, 1}, Case{5, 0x16, 1}, Case{6, 0x16, 1},
                         Case{7, 0x26, 1}, Case{6, 0x06, 0}}) {
        UseKind(c.kind);
        AnswerEveryFrame(Bytes({c.answer}));
        EXPECT_EQ(link.EraseStatusSet(state), c.result) << c.kind << " " << c.answer;
        EXPECT_EQ(state, c.answer);
    }
    env.SetResponder(nullptr);
    EXPECT_EQ(link.EraseStatusSet(state), 0);
    EXPECT_EQ(state, 0);
}

TEST_F(BootCommands, IdCodeAcceptedByKind) {
    UseKind(5);
    AnswerEveryFrame(Bytes({0x26}));
    EXPECT_EQ(link.IDCodeCheck(tessaly::IdCodeA), 0);
    AnswerEveryFrame(Bytes({0x06}));
    EXPECT_EQ(link.IDCodeCheck(tessaly::IdCodeA), 1);
    UseKind(7);
    EXPECT_EQ(link.IDCodeCheck(tessaly::IdCodeB), 0);
    AnswerEveryFrame(Bytes({0x26}));
    EXPECT_EQ(link.IDCodeCheck(tessaly::IdCodeB), 1);
    EXPECT_EQ(env.sent.back().mid(2, 16), QByteArray("G-BNQQZ5PLLX7H-4"));
}

TEST_F(BootCommands, FlashCrcReply) {
    std::uint16_t crc = 0;
    AnswerEveryFrame(Bytes({0x9F, 0x12, 0x34}));
    EXPECT_EQ(link.GetFlashCrc(crc), 1);
    EXPECT_EQ(crc, 0x1234);
    EXPECT_EQ(env.sent.back(), Bytes({0x9F}));
    AnswerEveryFrame(Bytes({0x9E, 0x12, 0x34}));
    EXPECT_EQ(link.GetFlashCrc(crc), 0);
    AnswerEveryFrame(Bytes({0x9F, 0x12}));
    const std::uint32_t start = env.NowMs();
    EXPECT_EQ(link.GetFlashCrc(crc), 0);
    EXPECT_EQ(Elapsed(start), 4000u);
}

TEST_F(BootCommands, MemReadLockBitsAndRestartFrames) {
    AnswerEveryFrame(Bytes({0x15, 0x80}));
    link.MemRead(1, 0xFFFA0000u, 256, 1);
    EXPECT_EQ(env.sent.back().left(3), Bytes({0xFF, 0x09, 0x01}));
    std::uint8_t status = 0;
    link.ReadLockBitStatus(0xFFFEFFFFu, status);
    EXPECT_EQ(env.sent.back(), Bytes({0x71, 0x04, 0x01, 0xFE, 0xFF, 0xFF, 0x8E}));
    link.ProgLockBit(0xFFFEFFFFu);
    EXPECT_EQ(env.sent.back(), Bytes({0x77, 0x04, 0x01, 0xFE, 0xFF, 0xFF, 0x88}));
    AnswerEveryFrame(Bytes({0x9D}));
    EXPECT_EQ(link.BootRestart(), 1);
    EXPECT_EQ(env.sent.back(), Bytes({0x9D}));
    AnswerEveryFrame(Bytes({0x06}));
    EXPECT_EQ(link.BootRestart(), 0);
}

TEST_F(BootCommands, EveryCommandIsOneWrite) {
    AnswerEveryFrame(Bytes({0x06}));
    std::int32_t len = 0;
    TFlashWrRXCont::BootReply buf{};
    std::uint8_t state = 0;
    link.SelUserBootArea();
    link.SelUserArea();
    link.SelErase();
    link.UserBootBlankCheck();
    link.UserAreaBlankCheck();
    link.DisaLockBit();
    link.EnLockBit();
    link.BlockErase(0xFF);
    link.BlockEraseAddr(0xFFFFFFFFu);
    link.SelectClockMode(0);
    link.EraseStatusSet(state);
    link.UserAreaInfo(len, buf);
    link.DataSumCheck(len, buf);
    const QList<QByteArray> expected = {Bytes({0x42}),
                                        Bytes({0x43}),
                                        Bytes({0x48}),
                                        Bytes({0x4C}),
                                        Bytes({0x4D}),
                                        Bytes({0x75}),
                                        Bytes({0x7A}),
                                        Bytes({0x58, 0x01, 0xFF, 0xA8}),
                                        Bytes({0x59, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0xA7}),
                                        Bytes({0x11, 0x01, 0x00, 0xEE}),
                                        Bytes({0x40}),
                                        Bytes({0x25}),
                                        Bytes({0x61})};
    ASSERT_EQ(env.sent.size(), static_cast<std::size_t>(expected.size()));
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(env.sent[static_cast<std::size_t>(i)], expected[i]) << i;
}
