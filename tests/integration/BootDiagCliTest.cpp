// tessaly-cli diag as a user runs it, against the simulator in this process.

#include "support/BootSimFixture.h"
#include "support/CliProcess.h"

TEST_F(BootSimTest, DiagCliSetsUpAndDecodes) {
    Start(Config(kRx231_256K, true), kRx231_256K.toolKind);
    link->CloseLink(); // the CLI brings its own connection
    const QString port = QString::number(sim->TcpPort());
    const CliProcessRun status =
        RunCliProcess({"diag", "BootProgInfo", "--host", TestAddresses::Module(), "--port", port,
                       "--bind", TestAddresses::Tool(), "--setup", "--rewrite"});
    EXPECT_EQ(status.exitCode, 0) << status.out.toStdString();
    EXPECT_TRUE(status.out.contains(QStringLiteral(
        "ステータス: 書き込み消去ホストコマンド待ち状態への遷移待ち（ビットレート選択完了）\n"
        "エラー: エラーなし\n")))
        << status.out.toStdString();

    EXPECT_EQ(RunCliProcess({"diag", "EraseStatusSet", "--host", TestAddresses::Module(), "--port",
                             port, "--bind", TestAddresses::Tool()})
                  .exitCode,
              0);
    const CliProcessRun lock =
        RunCliProcess({"diag", "mnreadlockbitstatus", "--host", TestAddresses::Module(), "--port",
                       port, "--bind", TestAddresses::Tool()});
    EXPECT_EQ(lock.exitCode, 0);
    EXPECT_TRUE(lock.out.endsWith(QStringLiteral("ステータス: 64\nアンロック状態\n")))
        << lock.out.toStdString();

    // Refused in this state: the failure line and exit code 1.
    const CliProcessRun select =
        RunCliProcess({"diag", "DeviceSelect", "--host", TestAddresses::Module(), "--port", port,
                       "--bind", TestAddresses::Tool()});
    EXPECT_EQ(select.exitCode, 1);
    EXPECT_TRUE(select.out.contains(QStringLiteral("NG: デバイス選択")));
}

TEST(BootDiagCli, ListAndBadNames) {
    const CliProcessRun list = RunCliProcess({"diag", "--list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out.count(QLatin1Char('\n')), 33);
    EXPECT_TRUE(list.out.contains(QStringLiteral("CmdCheck")));
    EXPECT_EQ(RunCliProcess({"diag", "CRC1", "--host", TestAddresses::Module()}).exitCode,
              2);                                                    // an inert item
    EXPECT_EQ(RunCliProcess({"diag", "SupportDevice"}).exitCode, 2); // no --host
}
