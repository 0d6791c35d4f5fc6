// tessaly-cli update as a program against the simulator in this process: the success lines on
// standard output and in the log file, no progress bar on a pipe, and the exit code of each
// failed step.

#include "resources/EmbeddedResources.h"
#include "support/CliProcess.h"
#include "support/RunRecordFiles.h"
#include "support/UpdateRig.h"
#include "update/UpdateSteps.h"
#include "update/UpdateTexts.h"

#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

using namespace update_test;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QStringList lines;
};

// Runs tessaly-cli with `arguments`, serving the simulator meanwhile.
CliRun RunCli(const QStringList& arguments) {
    const CliProcessRun run = RunCliProcess(arguments);
    return {run.exitCode, run.out, run.out.split(QLatin1Char('\n'))};
}

// The run records go into the test's own folder.
QStringList UpdateArguments(const UpdateRig& rig) {
    return {QStringLiteral("update"),
            QStringLiteral("--host"),
            rig.sim->Config().address.toString(),
            QStringLiteral("--port"),
            QString::number(rig.sim->TcpPort()),
            QStringLiteral("--bind"),
            TestAddresses::Tool(),
            QStringLiteral("--records"),
            rig.dir.filePath(QStringLiteral("records"))};
}

// True when `wanted` appears in `lines` in this order (other lines may come between).
bool InOrder(const QStringList& lines, const QStringList& wanted) {
    qsizetype at = 0;
    for (const QString& line : wanted) {
        at = lines.indexOf(line, at);
        if (at < 0)
            return false;
        ++at;
    }
    return true;
}

} // namespace

TEST(UpdateCli, SuccessPrintsTheLogLinesAndExitsZero) {
    UpdateRig rig;
    ASSERT_TRUE(rig.started);
    const QString logFile = rig.dir.filePath(QStringLiteral("update.log"));
    const CliRun run = RunCli(UpdateArguments(rig) << QStringLiteral("--log") << logFile);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
    const QStringList success = SuccessLines(QStringLiteral("1.01A0002"));
    EXPECT_TRUE(InOrder(run.lines, success)) << run.out.toStdString();
    // The updater's exit code ends its own line; no progress bar on a pipe.
    EXPECT_TRUE(run.lines.contains(QStringLiteral("dwExitCode = 0¥n")));
    EXPECT_FALSE(run.out.contains(QLatin1Char('\r')));

    QFile file(logFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList logged = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    EXPECT_TRUE(InOrder(logged, success));
    EXPECT_FALSE(logged.join(QLatin1Char('\n')).contains(QStringLiteral("dwExitCode")));
}

TEST(UpdateCli, EachFailedStepHasItsExitCode) {
    struct Case {
        const char* name;
        void (*fault)(rwsim::SimConfig&);
        int exitCode;
        QStringList lines; // in this order
    };
    const Case cases[] = {
        {"silent bridge",
         [](rwsim::SimConfig& c) { c.faults.silentUdp = true; },
         12,
         {Step(UpdateStep::SetUp).ngLine, UpdateText::Failed, UpdateText::CheckConnection}},
        {"refused ID code",
         [](rwsim::SimConfig& c) {
             c.idCode = "0123456789ABCDEF";
             c.faults.refuseIdCode = true;
         },
         13,
         {Step(UpdateStep::IdCheck).ngLine, UpdateText::Failed, UpdateText::PowerCycle,
          UpdateText::Retry}},
        {"refused erase",
         [](rwsim::SimConfig& c) { c.faults.refuseEraseBlock = 3; },
         14,
         {Step(UpdateStep::Erase).ngLine, UpdateText::Failed, UpdateText::PowerCycle,
          UpdateText::Retry}},
        {"refused page",
         [](rwsim::SimConfig& c) { c.faults.refusePage = 5; },
         15,
         {Step(UpdateStep::Write).ngLine, UpdateText::Failed, UpdateText::PowerCycle,
          UpdateText::RetryWithBootOption}},
        {"wrong CRC",
         [](rwsim::SimConfig& c) { c.faults.wrongCrc = true; },
         16,
         {Step(UpdateStep::Write).okLine, UpdateText::Failed, UpdateText::PowerCycle,
          UpdateText::Retry}},
        {"silent R/W after the restart",
         [](rwsim::SimConfig& c) { c.faults.silentRomAfterUpdate = true; },
         17,
         {Step(UpdateStep::RomVersion).ngLine, UpdateText::Failed, UpdateText::CheckConnection}},
        {"other CHIP version",
         [](rwsim::SimConfig& c) {
             c.chipFollowsRom = false;
             c.chipVersion = "2.00C0001";
         },
         19,
         {Step(UpdateStep::VersionsDiffer).ngLine, UpdateText::Failed,
          UpdateText::CheckConnection}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rwsim::SimConfig config = SimDefaults();
        c.fault(config);
        UpdateRig rig(config);
        ASSERT_TRUE(rig.started);
        const CliRun run = RunCli(UpdateArguments(rig));
        EXPECT_EQ(run.exitCode, c.exitCode) << run.out.toStdString();
        EXPECT_TRUE(InOrder(run.lines, c.lines)) << run.out.toStdString();
    }
}

TEST(UpdateCli, ImageThatCannotBeLoadedStopsBeforeAnyTraffic) {
    UpdateRig rig;
    ASSERT_TRUE(rig.started);
    const CliRun run = RunCli(UpdateArguments(rig) << QStringLiteral("--image")
                                                   << rig.dir.filePath(QStringLiteral("none.mot")));
    EXPECT_EQ(run.exitCode, 11);
    EXPECT_TRUE(run.lines.contains(QStringLiteral("NG: Read ROM Data")));
    EXPECT_TRUE(rig.Device().events.isEmpty());
    // A run that stopped before it began is on record too.
    const RunRecordFiles record = ReadTheOnlyRun(rig.dir.filePath(QStringLiteral("records")));
    EXPECT_EQ(record.record.value(QStringLiteral("exitCode")).toInt(), 11);
    EXPECT_EQ(record.record.value(QStringLiteral("failedStep")).toString(),
              QStringLiteral("image"));
    EXPECT_TRUE(record.lines.contains(QStringLiteral("NG: Read ROM Data")));
}

TEST(UpdateCli, ImageWithNothingToWriteStopsBeforeAnyTraffic) {
    UpdateRig rig;
    ASSERT_TRUE(rig.started);
    // A firmware for the reserved top only: it loads, but a run that switches the R/W itself
    // would write none of it.
    QFile file(rig.dir.filePath(QStringLiteral("top.mot")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("S308FFFFC00001020333\r\n");
    file.close();
    const CliRun run = RunCli(UpdateArguments(rig) << QStringLiteral("--image") << file.fileName());
    EXPECT_EQ(run.exitCode, 11) << run.out.toStdString();
    EXPECT_TRUE(run.lines.contains(QStringLiteral("OK: Read ROM Data")));
    EXPECT_TRUE(run.lines.contains(UpdateText::NoImage));
    EXPECT_TRUE(rig.Device().events.isEmpty());
    const RunRecordFiles record = ReadTheOnlyRun(rig.dir.filePath(QStringLiteral("records")));
    EXPECT_EQ(record.record.value(QStringLiteral("failedStep")).toString(),
              QStringLiteral("image"));
}

TEST(UpdateCli, StandInFirmwareForARwOutsideLoopbackIsRefusedWithExitCode11) {
    if (!EmbeddedResources::FirmwareIsStandIn())
        GTEST_SKIP() << "this build carries the real firmware";
    // Without the refusal the connection procedure would run, and fail (exit code 10) on the
    // loopback-only rule instead.
    const CliRun run =
        RunCli({QStringLiteral("update"), QStringLiteral("--host"), QStringLiteral("192.0.2.1")});
    EXPECT_EQ(run.exitCode, 11) << run.out.toStdString();
    EXPECT_TRUE(run.lines.contains(UpdateText::StandInRefused(QStringLiteral("192.0.2.1"))))
        << run.out.toStdString();
}

TEST(UpdateCli, BadCommandLinesAreUsageErrors) {
    EXPECT_EQ(RunCli({QStringLiteral("update")}).exitCode, 2);
    EXPECT_EQ(RunCli({QStringLiteral("update"), QStringLiteral("--host"), TestAddresses::Module(),
                      QStringLiteral("--kind"), QStringLiteral("rx999")})
                  .exitCode,
              2);
    EXPECT_EQ(RunCli({QStringLiteral("update"), QStringLiteral("--host"), TestAddresses::Module(),
                      QStringLiteral("--port")})
                  .exitCode,
              2);
}

// SIGTERM while the flash is being written: the run stops at its next safe point, says what the
// R/W needs now (a power cycle and --boot), and its record says "interrupted", exit code 3.
TEST(UpdateCli, InterruptedWriteEndsWithItsRecordAndExitCode3) {
    rwsim::SimConfig config = SimDefaults();
    config.serialTiming = true; // the write takes seconds: time to be interrupted in it
    UpdateRig rig(config);
    ASSERT_TRUE(rig.started);
    RunningCli cli(UpdateArguments(rig));
    ASSERT_TRUE(cli.WaitForLine(Step(UpdateStep::Erase).okLine)) << cli.out.toStdString();
    EXPECT_EQ(cli.Terminate(), kExitInterrupted) << cli.out.toStdString();
    EXPECT_TRUE(InOrder(cli.out.split(QLatin1Char('\n')),
                        {Step(UpdateStep::Write).ngLine, UpdateText::Interrupted, QString(),
                         UpdateText::PowerCycle, UpdateText::RetryWithBootOption}))
        << cli.out.toStdString();
    const QJsonObject record = ReadTheOnlyRun(rig.dir.filePath(QStringLiteral("records"))).record;
    EXPECT_EQ(record.value(QStringLiteral("result")).toString(), QStringLiteral("interrupted"));
    EXPECT_EQ(record.value(QStringLiteral("failedStep")).toString(), QStringLiteral("write"));
    EXPECT_EQ(record.value(QStringLiteral("exitCode")).toInt(), kExitInterrupted);
}

#ifdef Q_OS_LINUX
namespace {

// The chip updater's process as it reported itself (TESSALY_CHIP_SECONDS), once it runs.
qint64 ChipUpdaterProcess(RunningCli& cli) {
    if (!cli.WaitForLine(QStringLiteral(" s\n")))
        return 0;
    const QRegularExpression reported(QStringLiteral("TessalyChip: process (\\d+),"));
    return reported.match(cli.out).captured(1).toLongLong();
}

// Gone, or a corpse nobody has collected yet.
bool ProcessGone(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return true;
    return status.readAll().split(' ').value(2) == "Z";
}

} // namespace

// The chip updater never outlives the tool: stopped with it, or killed with it.
TEST(UpdateCli, ChipUpdaterEndsWithTheTool) {
    QProcessEnvironment slowChip = QProcessEnvironment::systemEnvironment();
    slowChip.insert(QStringLiteral("TESSALY_CHIP_SECONDS"), QStringLiteral("120"));
    for (const bool outright : {false, true}) {
        SCOPED_TRACE(outright ? "killed" : "terminated");
        UpdateRig rig;
        ASSERT_TRUE(rig.started);
        RunningCli cli(UpdateArguments(rig), slowChip);
        const qint64 chip = ChipUpdaterProcess(cli);
        ASSERT_GT(chip, 0) << cli.out.toStdString();
        if (outright) {
            cli.Kill();
            // The run's record is there all the same, unfinished.
            const QJsonObject record =
                ReadTheOnlyRecord(rig.dir.filePath(QStringLiteral("records")));
            EXPECT_EQ(record.value(QStringLiteral("result")).toString(),
                      QStringLiteral("unfinished"));
        } else {
            EXPECT_EQ(cli.Terminate(), kExitInterrupted) << cli.out.toStdString();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return ProcessGone(chip); }, 5000));
    }
}
#endif

// The command line speaks for itself: its version, and an address that is none refused as a bad
// command line before anything else.
TEST(UpdateCli, VersionAndAHostThatIsNoAddress) {
    const CliProcessRun version = RunCliProcess({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("tessaly-cli " TESSALY_VERSION));
    const CliProcessRun bad = RunCliProcess(
        {QStringLiteral("update"), QStringLiteral("--host"), QStringLiteral("999.1.1.1")});
    EXPECT_EQ(bad.exitCode, 2) << bad.err.toStdString();
    EXPECT_TRUE(bad.err.contains(QStringLiteral("999.1.1.1"))) << bad.err.toStdString();
}
