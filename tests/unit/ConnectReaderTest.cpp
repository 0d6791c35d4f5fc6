#include "link/ReaderTexts.h"
#include "link/TFlashWrRXCont.h"
#include "support/FakeLinkEnvironment.h"
#include "support/ReaderReplies.h"
#include "support/VectorLogSink.h"

#include <gtest/gtest.h>

using namespace ReaderReplies;

namespace {

// Answers the connection dialog from a script and records what the link showed.
class ScriptedOperator final : public LinkOperator {
public:
    bool AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) override {
        offeredServerMode = params.fTCPServer;
        if (!confirm)
            return false;
        params.TCPServAddr = address;
        params.TCPServPort = 9100;
        if (chooseReWriteMode)
            reWriteMode = 1;
        return true;
    }
    void ShowConnectProgress(const QString& caption, const QString& text) override {
        events << QStringLiteral("show ") + caption + QLatin1Char(' ') + text;
    }
    void HideConnectProgress() override { events << QStringLiteral("hide"); }
    void SetStatusText(const QString& text) override { events << QStringLiteral("status ") + text; }
    void ShowErrorBox(const QString& text) override { errorBoxes << text; }
    void CloseMainWindow() override { closed = true; }

    bool confirm = true;
    bool chooseReWriteMode = false;
    QString address = QStringLiteral("127.0.0.9");
    int offeredServerMode = -1;
    QStringList events;
    QStringList errorBoxes;
    bool closed = false;
};

// A R/W that answers on the first try. `romAnswers` limits how many ROM version requests it
// answers; `chipAnswers` whether it answers the CHIP request.
class ConnectReader : public ::testing::Test {
protected:
    void SetUp() override {
        link.TCPIPPara.fTCPServer = 1;
        env.SetResponder([this](const QByteArray& f) {
            if (IsDousaModeSet(f))
                env.Reply(Ack());
            else if (IsRomRequest(f) && romAnswers-- > 0)
                env.Reply(RomVersion("1234ROM01"));
            else if (IsChipRequest(f) && chipAnswers)
                env.Reply(ChipVersion("1234CHP02"));
        });
    }

    FakeLinkEnvironment env;
    VectorLogSink log;
    ScriptedOperator op;
    TFlashWrRXCont link{env, &log, tagOptionPara{}, {}, &op};
    int romAnswers = 2;
    bool chipAnswers = true;
};

} // namespace

TEST_F(ConnectReader, FoundOnTheFirstTryWithoutTouchingTheBridge) {
    link.fDispDebugInfo = 1;
    EXPECT_EQ(link.ConnectReader(), 1);
    EXPECT_EQ(env.connects, std::vector<QString>{QStringLiteral("127.0.0.9")});
    EXPECT_EQ(link.TCPIPPara.TCPServPort, 9100);
    EXPECT_EQ(op.offeredServerMode, 0);
    EXPECT_EQ(link.TCPIPPara.fTCPServer, 0);
    EXPECT_TRUE(log.Contains(ReaderTexts::kFound));
    EXPECT_TRUE(log.Contains(ReaderTexts::kSpeed + QStringLiteral("115200")));
    EXPECT_EQ(link.BridgeSpeedIndex, 4);
    EXPECT_EQ(link.ReaderFound, 1);
    EXPECT_EQ(link.ChipAnswered, 1);
    EXPECT_EQ(link.RomVersionText(), QStringLiteral("1234ROM01"));
    EXPECT_EQ(link.ChipVersionText(), QStringLiteral("1234CHP02"));
    EXPECT_TRUE(log.Contains(ReaderTexts::kChipVersion + QStringLiteral("1234CHP02")));
    EXPECT_EQ(log.lines.last(), QString());
    EXPECT_TRUE(op.errorBoxes.isEmpty());
    EXPECT_TRUE(link.IsConnected());
    // The progress window and the status bar frame the search and are cleared after it.
    ASSERT_FALSE(op.events.isEmpty());
    EXPECT_EQ(op.events.first(), QStringLiteral("status ") + ReaderTexts::kCheckingReader);
    EXPECT_TRUE(op.events.contains(QStringLiteral("show ") + ReaderTexts::kProgressCaption +
                                   QLatin1Char(' ') + ReaderTexts::kCheckingReader));
    EXPECT_TRUE(op.events.contains(QStringLiteral("status ")));
    EXPECT_EQ(op.events.last(), QStringLiteral("hide"));
}

TEST_F(ConnectReader, SpeedLineIsADebugLine) {
    EXPECT_EQ(link.ConnectReader(), 1);
    EXPECT_TRUE(log.Contains(ReaderTexts::kFound));
    EXPECT_FALSE(log.Contains(ReaderTexts::kSpeed + QStringLiteral("115200")));
}

TEST_F(ConnectReader, RomVersionTimingOutAfterTheSearchLeavesTheReaderNotFound) {
    romAnswers = 1; // the search's request is answered, the one after it is not
    EXPECT_EQ(link.ConnectReader(), 1);
    EXPECT_EQ(link.ReaderFound, 0);
    EXPECT_EQ(link.StatusText, ReaderTexts::kNotFound);
    EXPECT_TRUE(log.Contains(ReaderTexts::kNotFound));
    EXPECT_TRUE(log.Contains(ReaderTexts::kCheckConnection));
    EXPECT_TRUE(op.errorBoxes.isEmpty());
    // No CHIP request after a failed ROM request, and the CHIP is not blamed.
    EXPECT_FALSE(IsChipRequest(env.sent.back()));
    EXPECT_EQ(link.ChipAnswered, 1);
}

TEST_F(ConnectReader, SilentChipIsRecordedButTheReaderIsFound) {
    chipAnswers = false;
    EXPECT_EQ(link.ConnectReader(), 1);
    EXPECT_EQ(link.ReaderFound, 1);
    EXPECT_EQ(link.ChipAnswered, 0);
}

TEST_F(ConnectReader, ReWriteModeSendsNothing) {
    link.ReWriteMode = 1;
    EXPECT_EQ(link.ConnectReader(), 1);
    EXPECT_TRUE(env.connects.empty());
    EXPECT_TRUE(env.sent.empty());
    EXPECT_TRUE(log.Contains(ReaderTexts::kReWriteMode));
    EXPECT_EQ(link.ReaderFound, 1);
    EXPECT_EQ(link.ChipAnswered, 1);
    EXPECT_TRUE(link.StatusText.isEmpty());
}

TEST_F(ConnectReader, ReWriteModeChosenInTheDialogSendsNothingEither) {
    op.chooseReWriteMode = true;
    EXPECT_EQ(link.ConnectReader(), 1);
    EXPECT_EQ(link.ReWriteMode, 1);
    EXPECT_TRUE(env.connects.empty());
    EXPECT_TRUE(log.Contains(ReaderTexts::kReWriteMode));
}

TEST_F(ConnectReader, CancelClosesTheProgramAndKeepsTheParameters) {
    op.confirm = false;
    link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
    EXPECT_EQ(link.ConnectReader(), 0);
    EXPECT_TRUE(op.closed);
    EXPECT_TRUE(env.connects.empty());
    EXPECT_EQ(link.TCPIPPara.TCPServAddr, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(link.ReaderFound, 0);
    EXPECT_EQ(op.errorBoxes, QStringList{ReaderTexts::kNotFound});
    EXPECT_TRUE(log.Contains(ReaderTexts::kCheckConnection));
}
