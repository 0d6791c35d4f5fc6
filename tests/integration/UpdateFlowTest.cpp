// Whole updates against the simulator that end well: the default settings, an RX63x kind,
// re-write mode, the bridge already at 19.2 kbit/s, the versioned chip updater, versions that
// agree in their first four characters, and a second click that connects first.

#include "support/RunRecordFiles.h"
#include "support/TestChildProgram.h"
#include "support/UpdateRig.h"
#include "update/UpdateTexts.h"
#include "update/WorkFolder.h"

#include <algorithm>

using namespace update_test;

namespace {

constexpr char kNewVersion[] = "1.01A0002";

bool StartsWith(const QStringList& lines, const QStringList& prefix) {
    return lines.mid(0, prefix.size()) == prefix;
}

} // namespace

TEST(UpdateFlow, Rx231WithDefaultSettingsUpdatesBothFirmwares) {
    UpdateRig rig;
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.Connect(), 1);
    ASSERT_EQ(rig.Link().ReaderFound, 1);

    const RunOutcome outcome = rig.Click();
    EXPECT_TRUE(outcome.Ok());
    EXPECT_EQ(outcome.failedStep, std::nullopt);
    EXPECT_EQ(outcome.ErrStage, 0);
    EXPECT_TRUE(StartsWith(rig.RunLog(), SuccessLines(QString::fromLatin1(kNewVersion))))
        << rig.RunLog().join(QLatin1Char('|')).toStdString();

    // The flash holds the image below the reserved top, which the run left as it was.
    EXPECT_EQ(rig.Flash(0xFFFC0000u, kReservedTop - 1), rig.Image(0xFFFC0000u, kReservedTop - 1));
    const auto top = rig.Flash(kReservedTop, 0xFFFFFFFFu);
    EXPECT_TRUE(std::all_of(top.begin(), top.end(), [](auto b) { return b == kOldFlashByte; }));

    // The device was switched by the program-mode frame. The bridge went down to 19.2 kbit/s
    // and up again inside the set-up; nothing after the verify, where it already stood at
    // 115.2 kbit/s; the chip updater's hand-off reconnected once.
    EXPECT_TRUE(rig.Device().tcpReceived.contains(QStringLiteral("02 00 4E 0A 9B")));
    EXPECT_EQ(rig.Device().events,
              (QStringList{QStringLiteral("connect"), QStringLiteral("record:1"),
                           QStringLiteral("connect"), QStringLiteral("record:8"),
                           QStringLiteral("connect"), QStringLiteral("connect")}));
    // The settings record took the update speeds.
    EXPECT_EQ(rig.fCpuProg, 1);
    EXPECT_EQ(rig.option.BpsMode, 4);
    EXPECT_EQ(rig.option.BaudRate, 115200);

    // The result window and the main window, in order; the commands stay enabled.
    const QStringList& calls = rig.frontEnd.calls;
    EXPECT_EQ(calls.mid(0, 4),
              (QStringList{QStringLiteral("main:0"), QStringLiteral("open"),
                           QStringLiteral("label2:書き込み中は、電源を切らないでください"),
                           QStringLiteral("label1:書き込み開始...")}));
    EXPECT_TRUE(rig.frontEnd.Saw(QStringLiteral("size:72")));
    EXPECT_EQ(calls.mid(calls.indexOf(QStringLiteral("label2:アップデートが正常に終了しました"))),
              (QStringList{QStringLiteral("label2:アップデートが正常に終了しました"),
                           QStringLiteral("label1:OK"), QStringLiteral("colour:blue"),
                           QStringLiteral("sound:ring"), QStringLiteral("raise"),
                           QStringLiteral("confirm"), QStringLiteral("title:"),
                           QStringLiteral("main:1")}));
    // What the result window (Label1) and the main window (STTitle) say, step by step.
    QStringList texts = calls;
    texts.removeIf([](const QString& call) {
        return !call.startsWith(QLatin1String("label1:")) &&
               !call.startsWith(QLatin1String("title:"));
    });
    EXPECT_EQ(texts, (QStringList{
                         QStringLiteral("label1:書き込み開始..."), QStringLiteral("title:"),
                         QStringLiteral("title:"), QStringLiteral("label1:書込設定中..."),
                         QStringLiteral("title:"), QStringLiteral("label1:ID照合中..."),
                         QStringLiteral("title:ID照合"), QStringLiteral("label1:初期化中..."),
                         QStringLiteral("title:初期化"), QStringLiteral("label1:書き込み中..."),
                         QStringLiteral("title:書き込み"), QStringLiteral("label1:データ照合中..."),
                         QStringLiteral("title:データ照合"), QStringLiteral("title:"),
                         QStringLiteral("label1:OK"), QStringLiteral("title:")}));
    EXPECT_TRUE(rig.frontEnd.commandsEnabled);
    EXPECT_EQ(rig.frontEnd.gauge, 0);

    // A fresh, unconnected controller that keeps the operator's address and port.
    EXPECT_EQ(rig.Link().ReaderFound, 0);
    EXPECT_EQ(rig.Link().IsConnected(), 0);
    EXPECT_EQ(rig.Link().TCPIPPara.TCPServAddr, TestAddresses::Module());
    EXPECT_EQ(rig.Link().TCPIPPara.TCPServPort, rig.sim->TcpPort());
    EXPECT_EQ(rig.Link().RomImageLoaded, 1);
    EXPECT_EQ(rig.session->fReconnect, 1);
}

TEST(UpdateFlow, Rx630KindUpdatesByBlockNumber) {
    rwsim::SimConfig config = SimDefaults();
    config.kind = rwsim::McuKind::Rx630;
    config.romSizeCode = 13; // 384 KB: the blocks 0-29 of the RX63x kind all exist
    UpdateRig rig(config, {}, 6);
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.Connect(), 1);
    const RunOutcome outcome = rig.Click();
    EXPECT_EQ(outcome.failedStep, std::nullopt);
    EXPECT_TRUE(StartsWith(rig.RunLog(), SuccessLines(QString::fromLatin1(kNewVersion))))
        << rig.RunLog().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(rig.Link().RomImageBase, 0xFFFA0000u);
    EXPECT_EQ(rig.Flash(0xFFFA0000u, kReservedTop - 1), rig.Image(0xFFFA0000u, kReservedTop - 1));
}

TEST(UpdateFlow, ReWriteModeRewritesTheWholeFlashAndThenDisablesTheCommands) {
    rwsim::SimConfig config = SimDefaults();
    config.startInBoot = true; // left in boot mode by an earlier failed write
    UpdateRig rig(config, {QStringLiteral("boot")});
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.Connect(), 1);
    EXPECT_TRUE(rig.log.Contains(
        QStringLiteral("再書き込みモードで、ファームのアップデートを実行します。")));

    const RunOutcome outcome = rig.Click();
    EXPECT_EQ(outcome.failedStep, std::nullopt);
    EXPECT_EQ(rig.fCpuProg, 0);
    EXPECT_EQ(rig.Flash(0xFFFC0000u, 0xFFFFFFFFu), rig.Image(0xFFFC0000u, 0xFFFFFFFFu));
    EXPECT_FALSE(rig.Device().tcpReceived.contains(QStringLiteral("02 00 4E 0A 9B")));
    EXPECT_TRUE(rig.frontEnd.Saw(QStringLiteral("commands:0")));
    EXPECT_FALSE(rig.frontEnd.commandsEnabled);
    EXPECT_TRUE(rig.frontEnd.mainEnabled);
}

TEST(UpdateFlow, BridgeAlreadyAtBootSpeedIsNeitherChangedNorReconnectedBeforeTheSetUp) {
    rwsim::SimConfig config = SimDefaults();
    config.startInBoot = true;
    config.bridgeBps = 19200;
    UpdateRig rig(config, {QStringLiteral("boot")});
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.Connect(), 1);
    ASSERT_EQ(rig.Link().OpenLink(), 1);
    rig.Link().BridgeSpeedIndex = 1;

    const RunOutcome outcome = rig.Click();
    EXPECT_EQ(outcome.failedStep, std::nullopt);
    // Our connection only, then the set-up's own move to 115.2 kbit/s and the move after
    // the verify, each followed by a reconnection; the chip updater's hand-off reconnects.
    EXPECT_EQ(rig.Device().events,
              (QStringList{QStringLiteral("connect"), QStringLiteral("record:8"),
                           QStringLiteral("connect"), QStringLiteral("record:8"),
                           QStringLiteral("connect"), QStringLiteral("connect")}));
}

TEST(UpdateFlow, VersionedChipUpdaterIsRunWithTheConnectionParameters) {
    UpdateRig rig;
    ASSERT_TRUE(rig.started);
    const QString child = TestChildProgram();
    ASSERT_TRUE(
        QFile::copy(child, WorkFolder::ChipUpdaterPath(rig.workDir, QStringLiteral("1100"))));
    const QString record = rig.dir.filePath(QStringLiteral("chip-args.txt"));
    qputenv("TESSALY_TEST_CHILD_RECORD", record.toUtf8());
    ASSERT_EQ(rig.Connect(), 1);
    const RunOutcome outcome = rig.Click();
    qunsetenv("TESSALY_TEST_CHILD_RECORD");
    EXPECT_EQ(outcome.failedStep, std::nullopt);

    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text))
        << "the versioned updater did not run";
    const QStringList lines =
        QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.mid(1),
              (QStringList{QStringLiteral("-IP"), QStringLiteral("0"), QStringLiteral("9004"),
                           QString::number(rig.sim->TcpPort()), TestAddresses::Module()}));
    EXPECT_TRUE(rig.frontEnd.Saw(QStringLiteral("chip-ended:0")));
    EXPECT_TRUE(rig.frontEnd.Saw(QStringLiteral("visible:0")));
}

TEST(UpdateFlow, VersionsAgreeingInFourCharactersCountAsEqual) {
    rwsim::SimConfig config = SimDefaults();
    config.chipFollowsRom = false;
    config.chipVersion = "1.01C9999";
    UpdateRig rig(config);
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.Connect(), 1);
    const RunOutcome outcome = rig.Click();
    EXPECT_EQ(outcome.failedStep, std::nullopt);
    EXPECT_TRUE(rig.RunLog().contains(QStringLiteral("Chip Version : 1.01C9999")));
}

TEST(UpdateFlow, SecondClickConnectsFirstAndUpdatesAgain) {
    UpdateRig rig;
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.Connect(), 1);
    ASSERT_EQ(rig.frontEnd.dialogs, 1);
    ASSERT_EQ(rig.Click().failedStep, std::nullopt);
    EXPECT_EQ(rig.frontEnd.dialogs, 1);

    const RunOutcome second = rig.Click();
    EXPECT_EQ(rig.frontEnd.dialogs, 2);
    EXPECT_EQ(second.failedStep, std::nullopt);
    EXPECT_TRUE(rig.RunLog().contains(QStringLiteral("Find ZMW R/W ")));
    EXPECT_EQ(rig.Flash(0xFFFC0000u, kReservedTop - 1), rig.Image(0xFFFC0000u, kReservedTop - 1));
}

// A R/W that already holds the version asked for is not written at all: no program mode, no
// erase, no page; the run is "skipped" and counts as a success.
TEST(UpdateFlow, SkipCurrentLeavesAnUpToDateReaderUntouched) {
    rwsim::SimConfig config = SimDefaults();
    config.romVersion = "1.01A0002";
    config.chipVersion = "1.01C0002";
    UpdateRig rig(config);
    ASSERT_TRUE(rig.started);
    ASSERT_EQ(rig.Connect(), 1);
    const QString folder = rig.dir.filePath(QStringLiteral("records"));
    RunRequest request;
    request.option = rig.option;
    request.recordsDir = folder;
    request.skipCurrent = QStringLiteral("1.01A0002");
    const RunOutcome outcome = rig.session->Update(request);
    EXPECT_TRUE(outcome.Ok());
    EXPECT_EQ(outcome.ExitCode(), 0);
    EXPECT_TRUE(rig.log.lines.contains(UpdateText::AlreadyCurrent +
                                       QStringLiteral("1.01A0002 / 1.01C0002")));
    const QString received = rig.Device().tcpReceived;
    EXPECT_FALSE(received.contains(QStringLiteral("02 00 4E 0A 9B"))); // program mode
    EXPECT_TRUE(rig.Device().events.filter(QStringLiteral("record:")).isEmpty());
    EXPECT_EQ(ReadTheOnlyRun(folder).record.value(QStringLiteral("result")).toString(),
              QStringLiteral("skipped"));
}
