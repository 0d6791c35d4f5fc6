#include "cli/CliCommand.h"
#include "support/LinkSimRig.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
};

// Runs tessaly-cli (its bridge endpoint on the tests' own address) while this process's event loop
// keeps the in-process simulator answering.
CliRun RunCli(const QStringList& arguments) {
    QProcess cli;
    cli.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-cli"));
    cli.setArguments(arguments.contains(QStringLiteral("--bind"))
                         ? arguments
                         : arguments +
                               QStringList{QStringLiteral("--bind"), TestAddresses::Tool()});
    cli.start();
    CliRun run;
    if (!cli.waitForStarted(5000))
        return run;
    QDeadlineTimer deadline(30000);
    while (cli.state() != QProcess::NotRunning && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (cli.state() != QProcess::NotRunning) {
        cli.kill();
        cli.waitForFinished(2000);
        return run;
    }
    run.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = QString::fromUtf8(cli.readAllStandardOutput());
    return run;
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
