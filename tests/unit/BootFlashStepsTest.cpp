#include "boot/BootLogTexts.h"
#include "support/BootLinkFixture.h"

#include <map>

// A boot program reduced to its answers: a byte (or bytes) per command, with exceptions for
// particular frames.
class BootFlashSteps : public BootLinkTest {
protected:
    void SetUp() override {
        BootLinkTest::SetUp();
        env.SetResponder([this](const QByteArray& frame) {
            if (refuseFrame && frame == *refuseFrame) {
                env.Reply(Bytes({0xD0, 0x53}), 1);
                return;
            }
            const auto it = answers.find(static_cast<std::uint8_t>(frame[0]));
            env.Reply(it == answers.end() ? Bytes({0x06}) : it->second, 1);
        });
    }
    std::vector<QByteArray> FramesStartingWith(std::uint8_t command) const {
        std::vector<QByteArray> out;
        for (const QByteArray& f : env.sent)
            if (static_cast<std::uint8_t>(f[0]) == command)
                out.push_back(f);
        return out;
    }
    static QString Line(const char* text) { return QString::fromUtf8(text); }

    std::map<std::uint8_t, QByteArray> answers;
    std::optional<QByteArray> refuseFrame;
};

TEST_F(BootFlashSteps, IdCodeOrderFollowsCpuProg) {
    UseKind(5);
    answers[0x40] = Bytes({0x16});
    answers[0x60] = Bytes({0xC0, 0x11});
    EXPECT_EQ(link.BootIdCheck(1), 0);
    auto ids = FramesStartingWith(0x60);
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[0].mid(2, 16), QByteArray("PLM4QXW7BBN2H-C8"));
    EXPECT_EQ(ids[1].mid(2, 16), QByteArray("G-BNQQZ5PLLX7H-4"));
    EXPECT_TRUE(log.Contains(Line(BootLog::kIdCheckFailed)));

    env.sent.clear();
    log.lines.clear();
    answers.erase(0x60);
    EXPECT_EQ(link.BootIdCheck(0), 1);
    ids = FramesStartingWith(0x60);
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(ids[0].mid(2, 16), QByteArray("G-BNQQZ5PLLX7H-4"));
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(BootFlashSteps, NoIdCodeWhenNotAsked) {
    UseKind(6);
    answers[0x40] = Bytes({0x26});
    EXPECT_EQ(link.BootIdCheck(1), 1);
    EXPECT_TRUE(FramesStartingWith(0x60).empty());
    answers[0x40] = Bytes({0x06}); // the RX231 answer is no answer for this kind
    EXPECT_EQ(link.BootIdCheck(1), 0);
}

TEST_F(BootFlashSteps, BlankUserAreaIsNotErased) {
    EXPECT_EQ(link.BootErase(1), 1);
    ASSERT_EQ(env.sent.size(), 1u);
    EXPECT_EQ(log.lines, QStringList{Line(BootLog::kUserRomBlank)});
}

TEST_F(BootFlashSteps, Rx231EraseFromTheTopDown) {
    UseKind(5, 11); // 256 KB
    answers[0x4D] = Bytes({0xC0, 0x52});
    EXPECT_EQ(link.BootErase(1), 1);
    auto blocks = FramesStartingWith(0x59);
    ASSERT_EQ(blocks.size(), 121u);
    EXPECT_EQ(blocks.front(), Bytes({0x59, 0x04, 0xFF, 0xFF, 0xB8, 0x00, 0xED}));
    EXPECT_EQ(blocks[119], Bytes({0x59, 0x04, 0xFF, 0xFC, 0x00, 0x00, 0xA8}));
    EXPECT_EQ(blocks.back(), Bytes({0x59, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0xA7}));
    EXPECT_EQ(op.gauge.front(), 0);
    EXPECT_EQ(op.gauge.back(), 100);
    EXPECT_TRUE(log.Contains(Line(BootLog::kUserRomNotBlank)));
    EXPECT_EQ(log.lines.last(), Line(BootLog::kEraseOk));

    env.sent.clear();
    EXPECT_EQ(link.BootErase(0), 1);
    blocks = FramesStartingWith(0x59);
    ASSERT_EQ(blocks.size(), 129u);
    EXPECT_EQ(blocks.front(), Bytes({0x59, 0x04, 0xFF, 0xFF, 0xF8, 0x00, 0xAD}));
}

TEST_F(BootFlashSteps, Rx231RefusedBlockStillEndsTheErasure) {
    UseKind(5, 11);
    answers[0x4D] = Bytes({0xC0, 0x52});
    refuseFrame = Bytes({0x59, 0x04, 0xFF, 0xFF, 0x90, 0x00, 0x15}); // the sixth block
    EXPECT_EQ(link.BootErase(1), 0);
    const auto blocks = FramesStartingWith(0x59);
    ASSERT_EQ(blocks.size(), 7u);
    EXPECT_EQ(blocks.back(), Bytes({0x59, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0xA7}));
    EXPECT_TRUE(log.Contains(QStringLiteral("5Erase 失敗 : 0x00000005")));
    EXPECT_EQ(log.lines.last(), Line(BootLog::kEraseFailed));
}

TEST_F(BootFlashSteps, Rx63xEraseByBlockNumber) {
    UseKind(6, 11);
    answers[0x4D] = Bytes({0xC0, 0x52});
    EXPECT_EQ(link.BootErase(1), 1);
    auto blocks = FramesStartingWith(0x58);
    ASSERT_EQ(blocks.size(), 27u);
    EXPECT_EQ(blocks.front(), Bytes({0x58, 0x01, 0x04, 0xA3}));
    EXPECT_EQ(blocks.back(), Bytes({0x58, 0x01, 0xFF, 0xA8}));
    EXPECT_TRUE(log.Contains(QStringLiteral("29Erase 成功")));
    EXPECT_EQ(op.gauge.back(), 100);

    env.sent.clear();
    log.lines.clear();
    refuseFrame = Bytes({0x58, 0x01, 0x02, 0xA5});
    EXPECT_EQ(link.BootErase(0), 0);
    blocks = FramesStartingWith(0x58);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks.back(), Bytes({0x58, 0x01, 0xFF, 0xA8}));
    EXPECT_TRUE(log.Contains(QStringLiteral("2Erase 失敗")));
    EXPECT_EQ(log.lines.last(), Line(BootLog::kEraseFailed));
}

TEST_F(BootFlashSteps, ProgramSkipsBlankPagesAndTheTop16KB) {
    UseKind(5, 11);
    auto put = [&](std::uint32_t address, std::uint8_t value) {
        link.RomImage[address - link.RomImageBase] = value;
    };
    put(0xFFFC0000u, 0x01);
    put(0xFFFD1234u, 0x02);
    put(0xFFFFBFFFu, 0x03); // last byte below the reserved top
    put(0xFFFFC000u, 0x04); // reserved top: only written in re-write mode
    EXPECT_EQ(link.BootProgram(1), 1);
    auto pages = FramesStartingWith(0x50);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0].mid(1, 4), Bytes({0xFF, 0xFC, 0x00, 0x00}));
    EXPECT_EQ(pages[0][5], '\x01');
    EXPECT_EQ(pages[1].mid(1, 4), Bytes({0xFF, 0xFD, 0x12, 0x00}));
    EXPECT_EQ(pages[1][5 + 0x34], '\x02');
    EXPECT_EQ(pages[2].mid(1, 4), Bytes({0xFF, 0xFF, 0xBF, 0x00}));
    EXPECT_EQ(pages[3], Bytes({0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xB4}));
    EXPECT_EQ(op.addresses.size(), 960);
    EXPECT_EQ(op.addresses.front(), QStringLiteral("FFFC0000"));
    EXPECT_EQ(op.addresses.back(), QStringLiteral("FFFFBF00"));
    EXPECT_EQ(op.gauge.back(), 100);
    EXPECT_EQ(log.lines.last(), Line(BootLog::kProgOk));

    env.sent.clear();
    op.addresses.clear();
    EXPECT_EQ(link.BootProgram(0), 1);
    pages = FramesStartingWith(0x50);
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_EQ(pages[3].mid(1, 4), Bytes({0xFF, 0xFF, 0xC0, 0x00}));
    EXPECT_EQ(op.addresses.size(), 1024);
}

// The gauge counts the pages that are sent: four pages of data, the blank flash between and
// after them taking no time, pass a quarter each.
TEST_F(BootFlashSteps, ProgressCountsThePagesWithData) {
    UseKind(5, 11);
    for (std::uint32_t address : {0xFFFC0000u, 0xFFFC0100u, 0xFFFC0200u, 0xFFFD0000u})
        link.RomImage[address - link.RomImageBase] = 0x01;
    EXPECT_EQ(link.BootProgram(1), 1);
    EXPECT_EQ(op.gauge, (std::vector<int>{0, 25, 50, 75, 100}));
}

TEST_F(BootFlashSteps, BlankImageSendsOnlyTheEndFrame) {
    UseKind(6, 7);
    EXPECT_EQ(link.BootProgram(1), 1);
    ASSERT_EQ(env.sent.size(), 2u);
    EXPECT_EQ(env.sent[0], Bytes({0x43}));
    EXPECT_EQ(env.sent[1], Bytes({0x50, 0xFF, 0xFF, 0xFF, 0xFF, 0xB4}));
}

TEST_F(BootFlashSteps, RefusedPageSendsNoEndFrame) {
    UseKind(5, 11);
    link.RomImage[0] = 0x00;
    link.RomImage[0x100] = 0x00;
    link.RomImage[0x300] = 0x00;
    env.SetResponder([this](const QByteArray& frame) {
        const bool second = frame.size() > 4 && frame.mid(1, 4) == Bytes({0xFF, 0xFC, 0x01, 0x00});
        env.Reply(second ? Bytes({0xD0, 0x53}) : Bytes({0x06}), 1);
    });
    EXPECT_EQ(link.BootProgram(1), 0);
    const auto pages = FramesStartingWith(0x50);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages.back().size(), 6);
    EXPECT_TRUE(log.Contains(Line(BootLog::kWriteFailed)));
    EXPECT_EQ(log.lines.last(), Line(BootLog::kProgFailed));
}

TEST_F(BootFlashSteps, ImageSizedForOtherBoundsIsNotWritten) {
    UseKind(5, 11);
    link.RomImage.resize(link.RomImage.size() - 256); // one page short of the bounds
    EXPECT_EQ(link.BootProgram(0), 0);
    EXPECT_TRUE(env.sent.empty());
    EXPECT_EQ(log.lines.last(), Line(BootLog::kProgFailed));
}
