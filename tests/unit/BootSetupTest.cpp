#include "boot/BootLogTexts.h"
#include "support/BootLinkFixture.h"

#include <map>

// A boot program that matches at once and answers each command byte as scripted; the new
// bit rate is refused, so the set-up never reaches the bridge switch.
class BootSetupTest : public BootLinkTest {
protected:
    void SetUp() override {
        BootLinkTest::SetUp();
        link.fCpuProg = 1;
        answers[0x00] = Bytes({0x00});
        answers[0x55] = Bytes({0xE6});
        answers[0x10] = Bytes({0x46});
        answers[0x3F] = Bytes({0x15, 0x24});
        env.SetResponder([this](const QByteArray& frame) {
            const auto it = answers.find(static_cast<std::uint8_t>(frame[0]));
            if (it != answers.end())
                env.Reply(it->second, 1);
        });
    }
    QByteArray SentWith(std::uint8_t command) const {
        for (const QByteArray& f : env.sent)
            if (static_cast<std::uint8_t>(f[0]) == command)
                return f;
        return {};
    }
    static QString Line(const char* text) { return QString::fromUtf8(text); }

    std::map<std::uint8_t, QByteArray> answers;
};

TEST_F(BootSetupTest, Rx231SendsFixedRatiosAndNoClockMode) {
    UseKind(5);
    link.OptionPara.BPSspeed = 115250;
    link.fDispDebugInfo = 0;
    EXPECT_EQ(link.BootSetup(), 0);
    EXPECT_EQ(SentWith(0x3F), Bytes({0x3F, 0x07, 0x04, 0x80, 0x00, 0x00, 0x02, 0x02, 0x01, 0x31}));
    EXPECT_TRUE(SentWith(0x21).isEmpty());
    EXPECT_TRUE(SentWith(0x11).isEmpty());
    EXPECT_EQ(link.OptionPara.teibai1, 2);
    EXPECT_EQ(link.OptionPara.teibai2, 1);
    // Only the forced line shows without debug display.
    EXPECT_EQ(log.lines, QStringList{Line(BootLog::kBitRateFailed)});
    // A refused rate leaves the bridge and the link alone: a bridge change starts by closing
    // the link, and neither a reconnection nor the confirmation 0x06 follows.
    EXPECT_EQ(env.disconnects, 0);
    EXPECT_EQ(env.connects.size(), 1u);
    EXPECT_TRUE(SentWith(0x06).isEmpty());
}

TEST_F(BootSetupTest, Rx63xSelectsTheFirstClockModeAndSendsTheInputClock) {
    UseKind(6);
    answers[0x10] = Bytes({0x06});
    answers[0x21] = InquiryReply(0x31, Bytes({0x02, 0x00}));
    answers[0x11] = Bytes({0x06});
    link.OptionPara.freq = 12.29f;
    EXPECT_EQ(link.BootSetup(), 0);
    EXPECT_EQ(SentWith(0x11), Bytes({0x11, 0x01, 0x02, 0xEC}));
    const QByteArray rate = SentWith(0x3F);
    ASSERT_EQ(rate.size(), 10);
    EXPECT_EQ(rate.mid(4, 2), Bytes({0x04, 0xCC})); // 1228
    EXPECT_EQ(rate.mid(6, 3), Bytes({0x02, 0x04, 0x02}));
    EXPECT_TRUE(log.Contains(QStringLiteral("SPEED :115200")));
    EXPECT_EQ(log.lines.last(), Line(BootLog::kBitRateFailed));
}

TEST_F(BootSetupTest, EachFailingStepHasItsLine) {
    UseKind(6);
    answers[0x10] = Bytes({0x15, 0x21});
    EXPECT_EQ(link.BootSetup(), 0);
    EXPECT_EQ(log.lines.last(), Line(BootLog::kDeviceSelectFailed));

    answers[0x10] = Bytes({0x06});
    answers[0x21] = Bytes({0x31, 0x01}); // never complete
    log.lines.clear();
    EXPECT_EQ(link.BootSetup(), 0);
    EXPECT_TRUE(log.lines.isEmpty());

    answers[0x21] = InquiryReply(0x31, Bytes({0x00}));
    answers[0x11] = Bytes({0x15, 0x22});
    EXPECT_EQ(link.BootSetup(), 0);
    EXPECT_EQ(log.lines.last(), Line(BootLog::kClockModeFailed));

    answers[0x55] = Bytes({0x00});
    EXPECT_EQ(link.BootSetup(), 0);
    EXPECT_EQ(log.lines.last(), Line(BootLog::kMatchFailed));
}
