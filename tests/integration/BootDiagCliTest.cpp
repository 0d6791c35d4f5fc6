// tessaly-cli diag as a user runs it, against the simulator in this process.

#include "support/BootSimFixture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
};

// Runs tessaly-cli while this process's event loop keeps the simulator answering.
CliRun RunCli(const QStringList& arguments) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-cli");
    EXPECT_TRUE(QFileInfo::exists(program)) << "build tessaly-cli first";
    QProcess cli;
    cli.start(program, arguments);
    QDeadlineTimer deadline(20000);
    while (cli.state() != QProcess::NotRunning && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (cli.state() != QProcess::NotRunning) {
        cli.kill();
        cli.waitForFinished(2000);
        return {};
    }
    return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput())};
}

} // namespace

TEST_F(BootSimTest, DiagCliSetsUpAndDecodes) {
    Start(Config(kRx231_256K, true), kRx231_256K.toolKind);
    link->CloseLink(); // the CLI brings its own connection
    const QString port = QString::number(sim->TcpPort());
    const CliRun status =
        RunCli({"diag", "BootProgInfo", "--host", TestAddresses::Module(), "--port", port, "--bind",
                TestAddresses::Tool(), "--setup", "--rewrite"});
    EXPECT_EQ(status.exitCode, 0) << status.out.toStdString();
    EXPECT_TRUE(status.out.contains(QStringLiteral(
        "ステータス: 書き込み消去ホストコマンド待ち状態への遷移待ち（ビットレート選択完了）\n"
        "エラー: エラーなし\n")))
        << status.out.toStdString();

    EXPECT_EQ(RunCli({"diag", "EraseStatusSet", "--host", TestAddresses::Module(), "--port", port,
                      "--bind", TestAddresses::Tool()})
                  .exitCode,
              0);
    const CliRun lock = RunCli({"diag", "mnreadlockbitstatus", "--host", TestAddresses::Module(),
                                "--port", port, "--bind", TestAddresses::Tool()});
    EXPECT_EQ(lock.exitCode, 0);
    EXPECT_TRUE(lock.out.endsWith(QStringLiteral("ステータス: 64\nアンロック状態\n")))
        << lock.out.toStdString();

    // Refused in this state: the failure line and exit code 1.
    const CliRun select = RunCli({"diag", "DeviceSelect", "--host", TestAddresses::Module(),
                                  "--port", port, "--bind", TestAddresses::Tool()});
    EXPECT_EQ(select.exitCode, 1);
    EXPECT_TRUE(select.out.contains(QStringLiteral("NG: デバイス選択")));
}

TEST(BootDiagCli, ListAndBadNames) {
    const CliRun list = RunCli({"diag", "--list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out.count(QLatin1Char('\n')), 33);
    EXPECT_TRUE(list.out.contains(QStringLiteral("CmdCheck")));
    EXPECT_EQ(RunCli({"diag", "CRC1", "--host", TestAddresses::Module()}).exitCode,
              2);                                             // an inert item
    EXPECT_EQ(RunCli({"diag", "SupportDevice"}).exitCode, 2); // no --host
}
