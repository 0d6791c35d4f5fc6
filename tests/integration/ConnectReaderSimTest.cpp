#include "link/ReaderTexts.h"
#include "support/LinkSimRig.h"

#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

class DialogAnswer final : public LinkOperator {
public:
    DialogAnswer(QString host, int port) : host_(std::move(host)), port_(port) {}
    bool AskConnectionSettings(tagTCPIPPara& params, int&) override {
        params.TCPServAddr = host_;
        params.TCPServPort = port_;
        return true;
    }
    void ShowErrorBox(const QString& text) override { errorBoxes << text; }
    QStringList errorBoxes;

private:
    QString host_;
    int port_;
};

} // namespace

TEST(ConnectReaderSim, FoundOnlyAfterTheBridgeIsPutBackToItsSpeed) {
    rwsim::SimConfig config;
    config.bridgeBps = 19200; // as a broken-off update leaves it
    LinkSimRig rig(config);
    ASSERT_TRUE(rig.started);
    DialogAnswer dialog(LinkSimRig::kHost, rig.sim->TcpPort());
    rig.link.SetOperator(&dialog);
    rig.link.fDispDebugInfo = 1;

    EXPECT_EQ(rig.link.ConnectReader(), 1);
    EXPECT_EQ(rig.link.ReaderFound, 1);
    EXPECT_EQ(rig.link.ChipAnswered, 1);
    EXPECT_EQ(rig.link.BridgeSpeedIndex, 4);
    EXPECT_EQ(rig.sim->Bridge().SerialBps(), 115200);
    EXPECT_EQ(rig.link.RomVersionText(), QString::fromLatin1(config.romVersion));
    EXPECT_EQ(rig.link.ChipVersionText(), QString::fromLatin1(config.chipVersion));
    EXPECT_TRUE(rig.log.Contains(ReaderTexts::kFound));
    EXPECT_TRUE(rig.log.Contains(ReaderTexts::kSpeed + QStringLiteral("115200")));
    EXPECT_TRUE(dialog.errorBoxes.isEmpty());
}

TEST(ConnectReaderSim, NothingAnsweringEndsWithTheErrorBox) {
    // A port nobody listens on, and no bridge module on the address.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress(LinkSimRig::kHost)));
    const int closedPort = probe.serverPort();
    probe.close();

    VectorLogSink log;
    DialogAnswer dialog(LinkSimRig::kHost, closedPort);
    TFlashWrRXCont link{QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {}, &dialog};
    link.BridgeBindAddress = TestAddresses::Tool();
    link.ConnectTimeoutMs = 300; // a refused connection is only noticed at this limit
    EXPECT_EQ(link.ConnectReader(), 0);
    EXPECT_EQ(link.ReaderFound, 0);
    EXPECT_EQ(link.StatusText, ReaderTexts::kNotFound);
    EXPECT_TRUE(log.Contains(ReaderTexts::kCheckConnection));
    EXPECT_FALSE(log.Contains(ReaderTexts::kFound));
    EXPECT_EQ(dialog.errorBoxes, QStringList{ReaderTexts::kNotFound});
}
