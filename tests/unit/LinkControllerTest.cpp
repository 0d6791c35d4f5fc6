// The link controller's own state: target device, re-write mode, the log rule, the stopwatch.
#include "link/QtLinkEnvironment.h"
#include "link/ReaderTexts.h"
#include "link/TFlashWrRXCont.h"
#include "support/FakeLinkEnvironment.h"
#include "support/VectorLogSink.h"

#include <QTimer>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace {

struct Controller {
    explicit Controller(const QStringList& args = {}) : link(env, &log, tagOptionPara{}, args) {}
    FakeLinkEnvironment env;
    VectorLogSink log;
    TFlashWrRXCont link;
};

QString Code(const TFlashWrRXCont& link) {
    return QString::fromLatin1(link.DeviceCode.data(), 4);
}

} // namespace

TEST(TargetDevice, KindAndRomSizeChooseDeviceCodeAndBounds) {
    Controller c;
    EXPECT_EQ(Code(c.link), QStringLiteral("8a02")); // start-up: RX231, 256 KB
    EXPECT_EQ(c.link.RomImageBase, 0xFFFC0000u);
    EXPECT_EQ(c.link.RomImage.size(), 256u * 1024u);
    EXPECT_EQ(c.link.RomImageLoaded, 0);

    c.link.SetTargetDevice(6, 11);
    EXPECT_EQ(Code(c.link), QStringLiteral("7505"));
    EXPECT_EQ(c.link.RomImageBase, 0xFFFC0000u);

    c.link.SetTargetDevice(7, 10); // a code without an entry of its own: 64 KB
    EXPECT_EQ(Code(c.link), QStringLiteral("7n05"));
    EXPECT_EQ(c.link.RomImageBase, 0xFFFF0000u);

    c.link.SetTargetDevice(5, 16);
    EXPECT_EQ(Code(c.link), QStringLiteral("8a02"));
    EXPECT_EQ(c.link.RomImageBase, 0xFFF00000u);
    EXPECT_EQ(c.link.RomImageEnd, 0xFFFFFFFFu);
    EXPECT_EQ(c.link.OptionPara.fCPUType, 5);
    EXPECT_EQ(c.link.OptionPara.fROMSize, 16);
}

TEST(TargetDevice, KindsOutsideTwoToSevenLeaveTheBounds) {
    Controller c;
    c.link.SetTargetDevice(5, 7);
    c.link.SetTargetDevice(0, 11);
    EXPECT_EQ(Code(c.link), QStringLiteral("7n05"));
    EXPECT_EQ(c.link.RomImageBase, 0xFFFF0000u);
    c.link.SetTargetDevice(-1, 11); // compared unsigned: above 7
    EXPECT_EQ(Code(c.link), QStringLiteral("7n05"));
    EXPECT_EQ(c.link.RomImageBase, 0xFFFF0000u);
    c.link.SetTargetDevice(3, 9);
    EXPECT_EQ(Code(c.link), QStringLiteral("7805"));
    c.link.SetTargetDevice(4, 9); // kinds 2 and 4 keep the code they had
    EXPECT_EQ(Code(c.link), QStringLiteral("7805"));
    EXPECT_EQ(c.link.RomImageBase, 0xFFFE0000u);
}

TEST(ReWriteMode, FirstArgumentBootInAnyCaseWithBlanks) {
    for (const char* arg : {"boot", "-boot", "BOOT", " -BoOt ", "\tboot\n"})
        EXPECT_TRUE(TFlashWrRXCont::IsReWriteArgument({QString::fromLatin1(arg)})) << arg;
    for (const char* arg : {"/boot", "--boot", "boots", "", "bo ot"})
        EXPECT_FALSE(TFlashWrRXCont::IsReWriteArgument({QString::fromLatin1(arg)})) << arg;
    EXPECT_FALSE(TFlashWrRXCont::IsReWriteArgument({QStringLiteral("x"), QStringLiteral("boot")}));
    EXPECT_FALSE(TFlashWrRXCont::IsReWriteArgument({}));
    EXPECT_EQ(Controller({QStringLiteral("-Boot"), QStringLiteral("--demo")}).link.ReWriteMode, 1);
    EXPECT_EQ(Controller({QStringLiteral("--demo"), QStringLiteral("boot")}).link.ReWriteMode, 0);
}

TEST(LogRule, TheThousandAndFirstLineEmptiesThePane) {
    Controller c;
    for (int i = 0; i < 1000; ++i)
        c.link.AddLog(QString::number(i), 1);
    ASSERT_EQ(c.log.LineCount(), 1000);
    c.link.AddLog(QStringLiteral("next"), 1);
    EXPECT_EQ(c.log.lines, QStringList{QStringLiteral("next")});
}

TEST(LogRule, DebugLinesNeedDebugDisplayAndOtherwiseTouchNothing) {
    Controller c;
    for (int i = 0; i < 1000; ++i)
        c.link.AddLog(QString::number(i), 1);
    c.link.AddLog(QStringLiteral("debug"), 0); // hidden: no clearing either
    EXPECT_EQ(c.log.LineCount(), 1000);
    EXPECT_EQ(c.log.lines.last(), QStringLiteral("999"));
    c.link.fDispDebugInfo = 1;
    c.link.AddLog(QStringLiteral("debug"), 0);
    EXPECT_EQ(c.log.lines, QStringList{QStringLiteral("debug")});
}

TEST(Stopwatch, ExpiresOnlyAfterTheFullLimitAcrossTheTickWrap) {
    Controller c;
    c.env.SetNow(0xFFFFFFFFu); // 1 ms before the tick counter wraps
    c.link.StartTickTimer();
    c.env.SetNow(0xFFFFFFFFu + 3999u);
    EXPECT_EQ(c.link.TickTimerExpired(4000), 0);
    c.env.SetNow(0xFFFFFFFFu + 4000u);
    EXPECT_EQ(c.link.TickTimerExpired(4000), 1);
}

TEST(Stopwatch, WaitEndsAtItsLimitOnTheSharedStopwatch) {
    Controller c;
    c.link.StartTickTimer();
    const std::uint32_t start = c.env.NowMs();
    EXPECT_FALSE(c.link.WaitForRxCount(1, 4000));
    EXPECT_EQ(c.env.NowMs() - start, 4000u);
    // a second wait on the same start gets only what is left
    c.env.SetNow(start + 1000);
    c.link.StartTickTimer();
    c.env.Sleep(2500);
    EXPECT_FALSE(c.link.WaitForRxCount(1, 4000));
    EXPECT_EQ(c.env.NowMs() - (start + 1000), 4000u);
}

TEST(Stopwatch, EachControllerHasItsOwn) {
    FakeLinkEnvironment env;
    TFlashWrRXCont first(env, nullptr, tagOptionPara{}, {});
    TFlashWrRXCont second(env, nullptr, tagOptionPara{}, {});
    first.StartTickTimer();
    env.SetNow(env.NowMs() + 3000);
    second.StartTickTimer(); // another device's run starting a wait
    EXPECT_EQ(first.TickTimerExpired(3000), 1);
    EXPECT_EQ(second.TickTimerExpired(1), 0);
}

// An event handled by a wait (a click, a timer) that starts another link operation gets a
// refusal, not a second wait on the same stopwatch and ring.
TEST(NestedWait, OperationsStartedFromInsideAWaitAreRefused) {
    VectorLogSink log;
    TFlashWrRXCont link(QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {});
    link.fDispDebugInfo = 1;
    int nested = -1;
    QTimer::singleShot(0, [&] {
        nested = link.WaitUntil([] { return true; }, 10) ? 1 : 0;
        link.FlushRx();
    });
    link.StartTickTimer();
    ASSERT_TRUE(link.WaitUntil([&] { return nested >= 0; }, 2000));
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(log.lines.count(ReaderTexts::kNestedRefused), 2);

    link.StartTickTimer();
    EXPECT_TRUE(link.WaitUntil([] { return true; }, 10)); // outside a wait: as before
}

// A fleet interrupted twice stops its running devices from another thread: the wait that is
// sleeping ends at once, and nothing more is sent.
TEST(StopRequest, EndsTheRunningWaitAndRefusesWhatFollows) {
    VectorLogSink log;
    StopToken stop;
    TFlashWrRXCont link(QtLinkEnvironment::Instance(), &log, tagOptionPara{}, {});
    link.SetStopToken(&stop);
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stop.Request();
    });
    link.StartTickTimer();
    EXPECT_FALSE(link.WaitUntil([] { return false; }, 60000));
    other.join();
    EXPECT_EQ(link.TickTimerExpired(30000), 0);
    EXPECT_EQ(link.OpenLink(), 0);
    EXPECT_EQ(log.lines, QStringList{ReaderTexts::kStopped});
}
