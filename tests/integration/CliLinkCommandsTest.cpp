#include "cli/CliCommand.h"
#include "support/CliProcess.h"
#include "support/LinkSimRig.h"

#include <gtest/gtest.h>

namespace {

using CliRun = CliProcessRun;

// Runs tessaly-cli with its bridge endpoint on the tests' own address, unless told otherwise.
CliRun RunCli(const QStringList& arguments) {
    return RunCliProcess(arguments.contains(QStringLiteral("--bind"))
                             ? arguments
                             : arguments +
                                   QStringList{QStringLiteral("--bind"), TestAddresses::Tool()});
}

} // namespace

TEST(CliLinkCommands, BridgeMovesTheSimulatorsSpeedBothWays) {
    LinkSimRig rig;
    ASSERT_TRUE(rig.started);
    const QByteArray original = rig.Record();
    CliRun down = RunCli({QStringLiteral("bridge"), QStringLiteral("--host"), LinkSimRig::kHost,
                          QStringLiteral("--speed"), QStringLiteral("1")});
    EXPECT_EQ(down.exitCode, CliExit::Ok) << down.out.toStdString();
    EXPECT_EQ(rig.sim->Bridge().SerialBps(), 19200);
    CliRun up = RunCli({QStringLiteral("bridge"), QStringLiteral("--host"), LinkSimRig::kHost,
                        QStringLiteral("--speed"), QStringLiteral("4")});
    EXPECT_EQ(up.exitCode, CliExit::Ok) << up.out.toStdString();
    EXPECT_EQ(rig.Record(), original);
}

TEST(CliLinkCommands, BridgeFailsWhenTheModuleIsSilent) {
    rwsim::SimConfig config;
    config.faults.silentUdp = true;
    LinkSimRig rig(config);
    ASSERT_TRUE(rig.started);
    CliRun run = RunCli({QStringLiteral("bridge"), QStringLiteral("--host"), LinkSimRig::kHost,
                         QStringLiteral("--speed"), QStringLiteral("1")});
    EXPECT_EQ(run.exitCode, CliExit::Failed);
    EXPECT_TRUE(run.out.contains(QStringLiteral("レスポンス待ち　タイムオーバー")));
}

TEST(CliLinkCommands, ProbePrintsTheVersions) {
    LinkSimRig rig;
    ASSERT_TRUE(rig.started);
    CliRun run = RunCli({QStringLiteral("probe"), QStringLiteral("--host"), LinkSimRig::kHost,
                         QStringLiteral("--port"), QString::number(rig.sim->TcpPort())});
    EXPECT_EQ(run.exitCode, CliExit::Ok) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("ROM Version : 1.00A0001")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("CHIP Version : 1.00C0001")));
}

TEST(CliLinkCommands, BadArgumentsAreUsageErrors) {
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("probe"), QStringLiteral("--host"), QStringLiteral("rw")},
          QStringList{QStringLiteral("probe"), QStringLiteral("--host"), TestAddresses::Module(),
                      QStringLiteral("--port"), QStringLiteral("70000")},
          QStringList{QStringLiteral("bridge"), QStringLiteral("--host"), TestAddresses::Module(),
                      QStringLiteral("--speed"), QStringLiteral("5")},
          QStringList{QStringLiteral("bridge"), QStringLiteral("--host"), TestAddresses::Module()},
          QStringList{QStringLiteral("probe"), QStringLiteral("--host"), TestAddresses::Module(),
                      QStringLiteral("--bind"), QStringLiteral("any")}}) {
        EXPECT_EQ(RunCli(arguments).exitCode, CliExit::Usage) << arguments.join(' ').toStdString();
    }
}
