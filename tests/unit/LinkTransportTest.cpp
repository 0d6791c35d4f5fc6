#include "link/TFlashWrRXCont.h"
#include "support/FakeLinkEnvironment.h"
#include "support/VectorLogSink.h"

#include <gtest/gtest.h>

TEST(LinkTransport, SendDiscardsUnreadBytesAndReplyArrives) {
    FakeLinkEnvironment env;
    VectorLogSink log;
    TFlashWrRXCont link(env, &log, tagOptionPara{}, {});
    link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
    ASSERT_EQ(link.OpenLink(), 1);
    env.SetResponder([&](const QByteArray&) { env.Reply(QByteArray("\x06\x07", 2), 5); });
    const std::uint8_t cmd[] = {0x27};
    EXPECT_EQ(link.SendBytes(cmd, 1), 1);
    link.StartTickTimer();
    EXPECT_TRUE(link.WaitForRxCount(2, 4000));
    EXPECT_EQ(link.ReadRxByte(), 0x06);
    EXPECT_EQ(link.RxAvailable(), 1);
    link.SendBytes(cmd, 1);
    EXPECT_EQ(link.RxAvailable(), 0);
}

TEST(LinkTransport, OpenLinkWhileConnectedClosesFirst) {
    FakeLinkEnvironment env;
    VectorLogSink log;
    TFlashWrRXCont link(env, &log, tagOptionPara{}, {});
    link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.9");
    ASSERT_EQ(link.OpenLink(), 1);
    ASSERT_EQ(link.OpenLink(), 1);
    EXPECT_EQ(env.connects.size(), 2u);
    EXPECT_EQ(env.disconnects, 1);
    // The close had completed before the new connect was started.
    EXPECT_EQ(env.connectsWhileConnected, 0);
    EXPECT_EQ(link.IsConnected(), 1);
}
