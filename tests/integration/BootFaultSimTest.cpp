// The boot-mode steps against a simulated microcontroller that refuses or misreports.

#include "boot/BootLogTexts.h"
#include "support/BootSimFixture.h"

namespace {
QString Line(const char* text) {
    return QString::fromUtf8(text);
}
} // namespace

TEST_F(BootSimTest, RefusedDeviceSelectionStopsTheSetUp) {
    rwsim::SimConfig config = Config(kRx231_256K, true);
    config.faults.refuseDeviceSelect = true;
    Start(config, kRx231_256K.toolKind);
    link->fCpuProg = 0;
    EXPECT_EQ(link->BootSetup(), 0);
    EXPECT_EQ(log.lines.last(), Line(BootLog::kDeviceSelectFailed));
    EXPECT_EQ(sim->Mcu().CurrentBootState(), rwsim::BootState::DeviceSelect);
}

TEST_F(BootSimTest, BothIdCodesRefused) {
    rwsim::SimConfig config = Config(kRx231_256K, true);
    config.faults.refuseIdCode = true;
    Start(config, kRx231_256K.toolKind);
    link->fCpuProg = 0;
    ASSERT_EQ(link->BootSetup(), 1);
    link->fDispTxInfo = 1;
    EXPECT_EQ(link->BootIdCheck(1), 0);
    EXPECT_EQ(CountSent(QStringLiteral("60 10 50 4C")), 1); // A first with cpuProg set
    EXPECT_EQ(CountSent(QStringLiteral("60 10 47 2D")), 1); // then B
    EXPECT_TRUE(log.Contains(QStringLiteral("エラーコード: 61")));
    EXPECT_EQ(log.lines.last(), Line(BootLog::kIdCheckFailed));
}

TEST_F(BootSimTest, BlankFlashRefusedPageAndNoEndFrame) {
    rwsim::SimConfig config = Config(kRx231_256K, true);
    config.faults.refusePage = 2;
    Start(config, kRx231_256K.toolKind);
    FillImage();
    link->fCpuProg = 0;
    ASSERT_EQ(link->BootSetup(), 1);
    ASSERT_EQ(link->BootIdCheck(0), 1);
    log.lines.clear();
    ASSERT_EQ(link->BootErase(0), 1);
    EXPECT_EQ(log.lines, QStringList{Line(BootLog::kUserRomBlank)});
    link->fDispTxInfo = 1;
    EXPECT_EQ(link->BootProgram(0), 0);
    EXPECT_EQ(CountSent(QStringLiteral("50 ")), 2);
    EXPECT_EQ(CountSent(QStringLiteral("50 FF FF FF FF B4")), 0);
    EXPECT_TRUE(log.Contains(Line(BootLog::kWriteFailed)));
    EXPECT_EQ(log.lines.last(), Line(BootLog::kProgFailed));
    EXPECT_EQ(sim->Mcu().CurrentBootState(), rwsim::BootState::ProgramData);
}

TEST_F(BootSimTest, Rx63TWrongFlashCrcIsReported) {
    rwsim::SimConfig config = Config(kRx63T_384K, true);
    config.faults.wrongCrc = true;
    Start(config, kRx63T_384K.toolKind);
    FillImage();
    link->fCpuProg = 0;
    ASSERT_EQ(link->BootSetup(), 1);
    ASSERT_EQ(link->BootIdCheck(0), 1);
    ASSERT_EQ(link->BootErase(0), 1);
    ASSERT_EQ(link->BootProgram(0), 1);
    EXPECT_EQ(link->BootCrcCheck(), 0);
    ASSERT_TRUE(log.lines.last().startsWith(Line(BootLog::kCrcData)));
    const QString reported = log.lines.last().mid(QString::fromUtf8(BootLog::kCrcData).size());
    EXPECT_EQ(reported.size(), 4);
    EXPECT_NE(reported.toUInt(nullptr, 16), link->ComputeRomImageCrc());
    EXPECT_EQ(link->BootRestart(), 1);
}
