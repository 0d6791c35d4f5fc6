// Two programs on one PC updating R/Ws at the same time through the same bridge port: they take
// the port in turns, request by request, and every R/W ends OK.

#include "rwsim/RwSimulator.h"
#include "support/TestAddresses.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

TEST(BridgeTurnCli, TwoProgramsUpdatingAtOnceBothEndOk) {
    constexpr int kPerProgram = 2;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<rwsim::RwSimulator>> sims;
    std::array<QStringList, 2> arguments;
    for (int k = 0; k < 2 * kPerProgram; ++k) {
        rwsim::SimConfig config;
        config.address = QHostAddress(TestAddresses::Device(k));
        config.udpPort = TestAddresses::ModuleBridgePort();
        config.tcpPort = 0;
        sims.push_back(std::make_unique<rwsim::RwSimulator>(config));
        QString error;
        ASSERT_TRUE(sims.back()->Start(&error)) << error.toStdString();
        arguments[k / kPerProgram]
            << QStringLiteral("--host")
            << QStringLiteral("%1:%2").arg(TestAddresses::Device(k)).arg(sims[k]->TcpPort());
    }
    std::array<QProcess, 2> programs;
    for (int p = 0; p < 2; ++p) {
        const QString own = dir.filePath(QString::number(p));
        programs[p].setProgram(QCoreApplication::applicationDirPath() +
                               QStringLiteral("/tessaly-cli"));
        programs[p].setArguments(QStringList{QStringLiteral("fleet")} + arguments[p] +
                                 QStringList{QStringLiteral("--bind"), TestAddresses::Tool(),
                                             QStringLiteral("--log-dir"), own,
                                             QStringLiteral("--records"), own});
        programs[p].start();
    }
    const QDeadlineTimer deadline(120000);
    const auto running = [&] {
        return programs[0].state() != QProcess::NotRunning ||
               programs[1].state() != QProcess::NotRunning;
    };
    while (running() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_FALSE(running());
    for (QProcess& program : programs) {
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardOutput().toStdString()
                                         << program.readAllStandardError().toStdString();
    }
}
