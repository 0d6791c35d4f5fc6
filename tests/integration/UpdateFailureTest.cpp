// Updates against a simulator with a fault: each ends with NG, the step's guidance lines and
// the commands disabled, in bounded time; a write cut short is repaired by a run in re-write
// mode.

#include "bridge/BridgeEndpoint.h"
#include "bridge/BridgePortLock.h"
#include "bridge/BridgeTexts.h"
#include "support/TestChildProgram.h"
#include "support/UpdateRig.h"
#include "update/UpdateTexts.h"
#include "update/WorkFolder.h"

#include <QRegularExpression>

using namespace update_test;

namespace {

const QStringList kWriteGuidance{UpdateText::PowerCycle, UpdateText::RetryWithReWrite};
const QStringList kStepGuidance{UpdateText::PowerCycle, UpdateText::Retry};
const QStringList kConnectionGuidance{UpdateText::CheckConnection, UpdateText::PowerCycle,
                                      UpdateText::Retry};

// The failure outcome: the log ends with the failure line, an empty line and `guidance`, the
// result window shows NG in red with the alarm, and the commands are disabled.
void ExpectFailure(UpdateRig& rig, const QStringList& guidance) {
    const QStringList log = rig.RunLog();
    const qsizetype at = log.indexOf(UpdateText::Failed);
    ASSERT_GE(at, 0) << log.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(log.mid(at + 1, guidance.size() + 1), QStringList{QString()} + guidance)
        << log.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(log.contains(UpdateText::Succeeded));
    const QStringList& calls = rig.frontEnd.calls;
    EXPECT_EQ(calls.mid(calls.indexOf(QStringLiteral("label2:") + UpdateText::FailedLabel), 6),
              (QStringList{QStringLiteral("label2:") + UpdateText::FailedLabel,
                           QStringLiteral("label1:NG"), QStringLiteral("colour:red"),
                           QStringLiteral("sound:alarm"), QStringLiteral("main:1"),
                           QStringLiteral("commands:0")}));
    EXPECT_EQ(calls.back(), QStringLiteral("main:1"));
    EXPECT_FALSE(rig.frontEnd.commandsEnabled);
}

RunOutcome ConnectAndClick(UpdateRig& rig) {
    EXPECT_TRUE(rig.started);
    EXPECT_EQ(rig.Connect(), 1);
    return rig.Click();
}

// The operator restarts the program in re-write mode and updates again: the whole flash is the
// image's.
void ExpectAReWriteRunRepairs(UpdateRig& rig) {
    rig.Restart({QStringLiteral("boot")});
    const RunOutcome again = ConnectAndClick(rig);
    EXPECT_EQ(again.failedStep, std::nullopt) << rig.RunLog().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(rig.Flash(0xFFFC0000u, 0xFFFFFFFFu), rig.Image(0xFFFC0000u, 0xFFFFFFFFu));
}

} // namespace

TEST(UpdateFailure, RefusedPageFailsTheWriteWithTheReWriteHint) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.refusePage = 3;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::Write);
    EXPECT_EQ(outcome.ErrStage, 3);
    EXPECT_TRUE(rig.RunLog().contains(Step(UpdateStep::Write).ngLine));
    EXPECT_FALSE(rig.RunLog().contains(Step(UpdateStep::Verify).okLine));
    ExpectFailure(rig, kWriteGuidance);
}

TEST(UpdateFailure, LinkDroppedMidWriteIsRepairedByAReWriteRun) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.dropAfterPages = 40;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::Write);
    ExpectFailure(rig, kWriteGuidance);
    EXPECT_NE(rig.Flash(0xFFFC0000u, kReservedTop - 1), rig.Image(0xFFFC0000u, kReservedTop - 1));

    ExpectAReWriteRunRepairs(rig);
}

// Another program keeps the bridge port's turn past the limit: the run ends NG at the set-up
// before anything reaches the bridge module, whose speed stays as it was.
TEST(UpdateFailure, BridgeTurnNotHadInTimeEndsTheSetUpWithTheSpeedUnchanged) {
    UpdateRig rig;
    ASSERT_EQ(rig.Connect(), 1);
    BridgePortLock otherProgram(BridgeEndpoint::TurnName(QHostAddress(TestAddresses::Tool())));
    ASSERT_TRUE(otherProgram.Take(0));
    rig.Link().BridgeTurnLimitMs = 300;
    const auto record = rig.sim->Bridge().Record();
    const RunOutcome outcome = rig.Click();
    EXPECT_EQ(outcome.failedStep, UpdateStep::SetUp);
    EXPECT_EQ(rig.sim->Bridge().Record(), record);
    EXPECT_TRUE(rig.RunLog().contains(BridgeTexts::kTurnMissed));
    ExpectFailure(rig, kConnectionGuidance);
}

TEST(UpdateFailure, RefusedBlockFailsTheErase) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.refuseEraseBlock = 5;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::Erase);
    EXPECT_EQ(outcome.ErrStage, 2);
    EXPECT_TRUE(rig.RunLog().contains(Step(UpdateStep::Erase).ngLine));
    EXPECT_FALSE(rig.RunLog().contains(Step(UpdateStep::Write).okLine));
    ExpectFailure(rig, kStepGuidance);
}

TEST(UpdateFailure, PowerLossDuringTheEraseIsRepairedByAReWriteRun) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.dropDuringErase = 60;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::Erase);
    EXPECT_EQ(outcome.ErrStage, 2);
    ExpectFailure(rig, kStepGuidance);
    // Half erased: the top blocks went, the lower ones still hold the old firmware.
    const auto flash = rig.Flash(0xFFFC0000u, kReservedTop - 1);
    EXPECT_EQ(flash.front(), kOldFlashByte);
    EXPECT_EQ(flash.back(), 0xFF);

    ExpectAReWriteRunRepairs(rig);
}

TEST(UpdateFailure, SilentBridgeFailsTheWriteSetUp) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.silentUdp = true;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::SetUp);
    EXPECT_EQ(outcome.ErrStage, 0);
    EXPECT_TRUE(rig.RunLog().contains(BridgeTexts::kReplyTimeout));
    EXPECT_TRUE(rig.RunLog().contains(Step(UpdateStep::SetUp).ngLine));
    ExpectFailure(rig, kConnectionGuidance);
}

TEST(UpdateFailure, RefusedDeviceSelectFailsTheWriteSetUp) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.refuseDeviceSelect = true;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::SetUp);
    ExpectFailure(rig, kConnectionGuidance);
    // Which part of the set-up, also without the debug lines.
    EXPECT_TRUE(rig.RunLog().contains(UpdateText::SetUpFailedAt + QStringLiteral("デバイス選択")));
}

TEST(UpdateFailure, RefusedIdCodeFailsTheIdCheck) {
    rwsim::SimConfig config = SimDefaults();
    config.idCode = "0123456789ABCDEF";
    config.faults.refuseIdCode = true;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::IdCheck);
    EXPECT_EQ(outcome.ErrStage, 1);
    EXPECT_TRUE(rig.RunLog().contains(Step(UpdateStep::IdCheck).ngLine));
    ExpectFailure(rig, kStepGuidance);
}

TEST(UpdateFailure, WrongCrcFailsTheVerifyWithoutItsDebugLine) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.wrongCrc = true;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::Verify);
    EXPECT_EQ(outcome.ErrStage, 4);
    EXPECT_TRUE(rig.RunLog().contains(Step(UpdateStep::Write).okLine));
    EXPECT_FALSE(rig.RunLog().contains(Step(UpdateStep::Verify).ngLine));
    ExpectFailure(rig, kStepGuidance);
}

TEST(UpdateFailure, WrongCrcWithDebugLinesShowsTheVerifyLine) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.wrongCrc = true;
    UpdateRig rig(config);
    rig.Link().fDispDebugInfo = 1;
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::Verify);
    EXPECT_EQ(outcome.ErrStage, 4);
    const QStringList log = rig.RunLog();
    const qsizetype crc =
        log.indexOf(QRegularExpression(QStringLiteral("^CRC Data: 0x[0-9A-F]{4}$")));
    ASSERT_GE(crc, 0) << log.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(log.indexOf(Step(UpdateStep::Verify).ngLine), crc + 1);
    ExpectFailure(rig, kStepGuidance);
}

TEST(UpdateFailure, SilentRomAfterTheRestartFailsWithItsLine) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.silentRomAfterUpdate = true;
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::RomVersion);
    EXPECT_EQ(outcome.ErrStage, 0);
    const QStringList log = rig.RunLog();
    EXPECT_EQ(log.indexOf(Step(UpdateStep::RomVersion).ngLine),
              log.indexOf(Step(UpdateStep::Verify).okLine) + 1)
        << log.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(log.contains(UpdateText::McuFirmwareDone));
    EXPECT_FALSE(log.contains(UpdateText::ChipStart));
    ExpectFailure(rig, kConnectionGuidance);
}

TEST(UpdateFailure, SilentChipFailsTheFinalCheckAfterTheUpdaterRanInBootForm) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.silentChip = true;
    UpdateRig rig(config);
    const QString child = TestChildProgram();
    ASSERT_TRUE(
        QFile::copy(child, WorkFolder::ChipUpdaterPath(rig.workDir, QStringLiteral("1100"))));
    const QString record = rig.dir.filePath(QStringLiteral("chip-args.txt"));
    qputenv("TESSALY_TEST_CHILD_RECORD", record.toUtf8());
    const RunOutcome outcome = ConnectAndClick(rig);
    qunsetenv("TESSALY_TEST_CHILD_RECORD");

    EXPECT_EQ(outcome.failedStep, UpdateStep::Compare);
    EXPECT_TRUE(rig.RunLog().contains(UpdateText::McuFirmwareDone));
    EXPECT_TRUE(rig.RunLog().contains(Step(UpdateStep::Compare).ngLine));
    ExpectFailure(rig, kConnectionGuidance);
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')).value(1),
              QStringLiteral("-BOOT"));
}

TEST(UpdateFailure, DifferentVersionsFailTheFinalCheck) {
    rwsim::SimConfig config = SimDefaults();
    config.chipFollowsRom = false;
    config.chipVersion = "1.02C0001";
    UpdateRig rig(config);
    const RunOutcome outcome = ConnectAndClick(rig);
    EXPECT_EQ(outcome.failedStep, UpdateStep::VersionsDiffer);
    EXPECT_TRUE(rig.RunLog().contains(QStringLiteral("Chip Version : 1.02C0001")));
    EXPECT_TRUE(rig.RunLog().contains(Step(UpdateStep::VersionsDiffer).ngLine));
    ExpectFailure(rig, kConnectionGuidance);
}

// A bridge port bound on an address this PC does not have would fail only after the switch into
// program mode: it is found before anything is sent, and the R/W stays in its normal mode.
TEST(UpdateFailure, BindAddressNotOnThisPcLeavesTheReaderAlone) {
    UpdateRig rig;
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.Connect(), 1);
    const QString elsewhere = QStringLiteral("192.0.2.1"); // a documentation address: never ours
    rig.Link().BridgeBindAddress = elsewhere;
    const RunOutcome outcome = rig.Click();
    EXPECT_EQ(outcome.failedStep, UpdateStep::SetUp);
    EXPECT_EQ(outcome.ExitCode(), 12);
    EXPECT_TRUE(rig.RunLog().contains(BridgeTexts::kBindAddressNotHere + elsewhere));
    EXPECT_FALSE(rig.Device().tcpReceived.contains(QStringLiteral("02 00 4E 0A 9B")));
    EXPECT_TRUE(rig.Device().events.filter(QStringLiteral("record:")).isEmpty());
}
