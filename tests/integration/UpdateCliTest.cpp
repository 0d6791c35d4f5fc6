// tessaly-cli update as a program against the simulator in this process: the success lines on
// standard output and in the log file, no progress bar on a pipe, and the exit code of each
// failed step.

#include "support/UpdateRig.h"
#include "update/UpdateTexts.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

using namespace update_test;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QStringList lines;
};

// Runs tessaly-cli with `arguments`, serving the simulator meanwhile; at most two minutes.
CliRun RunCli(const QStringList& arguments) {
    QProcess cli;
    cli.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-cli"));
    cli.setArguments(arguments);
    QEventLoop loop;
    QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&cli, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    cli.start();
    loop.exec();
    CliRun run;
    if (cli.state() != QProcess::NotRunning) {
        cli.kill();
        cli.waitForFinished();
        ADD_FAILURE() << "tessaly-cli did not finish";
        return run;
    }
    run.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = QString::fromUtf8(cli.readAllStandardOutput());
    run.lines = run.out.split(QLatin1Char('\n'));
    return run;
}

QStringList UpdateArguments(const UpdateRig& rig) {
    return {QStringLiteral("update"),
            QStringLiteral("--host"),
            rig.sim->Config().address.toString(),
            QStringLiteral("--port"),
            QString::number(rig.sim->TcpPort()),
            QStringLiteral("--bind"),
            TestAddresses::Tool()};
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
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
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
         {UpdateText::SetUpNg, UpdateText::Failed, UpdateText::CheckConnection}},
        {"refused ID code",
         [](rwsim::SimConfig& c) {
             c.idCode = "0123456789ABCDEF";
             c.faults.refuseIdCode = true;
         },
         13,
         {UpdateText::IdCheck.ng, UpdateText::Failed, UpdateText::PowerCycle, UpdateText::Retry}},
        {"refused page",
         [](rwsim::SimConfig& c) { c.faults.refusePage = 5; },
         15,
         {UpdateText::Write.ng, UpdateText::Failed, UpdateText::PowerCycle,
          UpdateText::RetryWithReWrite}},
        {"wrong CRC",
         [](rwsim::SimConfig& c) { c.faults.wrongCrc = true; },
         16,
         {UpdateText::Write.ok, UpdateText::Failed, UpdateText::PowerCycle, UpdateText::Retry}},
        {"other CHIP version",
         [](rwsim::SimConfig& c) {
             c.chipFollowsRom = false;
             c.chipVersion = "2.00C0001";
         },
         19,
         {UpdateText::VersionsDiffer, UpdateText::Failed, UpdateText::CheckConnection}},
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
