// tessaly-cli scan against simulated R/Ws in this process: five modules answer the sweep, two of
// them with their R/W left in boot mode, and every one is listed as what it is.

#include "rwsim/RwSimulator.h"
#include "support/CliProcess.h"
#include "support/TestAddresses.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(ScanCli, ListsEveryModuleAndSuspectsTheReadersInBootMode) {
    constexpr int kDevices = 5;
    const auto inBoot = [](int k) { return k == 1 || k == 3; };
    QTemporaryDir dir;
    std::vector<std::unique_ptr<rwsim::RwSimulator>> sims;
    for (int k = 0; k < kDevices; ++k) {
        rwsim::SimConfig config;
        config.address = QHostAddress(TestAddresses::Device(k));
        config.udpPort = TestAddresses::ModuleBridgePort();
        // One TCP port for all, as on a LAN: the addresses tell them apart.
        config.tcpPort = TestAddresses::ToolBridgePort();
        config.startInBoot = inBoot(k);
        config.bridgeBps = inBoot(k) ? 19200 : 115200;
        config.transcriptFile = dir.filePath(QStringLiteral("transcript-%1.jsonl").arg(k));
        sims.push_back(std::make_unique<rwsim::RwSimulator>(config));
        QString error;
        ASSERT_TRUE(sims.back()->Start(&error)) << error.toStdString();
    }

    // Two addresses past the last module, where nothing answers.
    const CliProcessRun run = RunCliProcess(
        {QStringLiteral("scan"), QStringLiteral("--range"),
         TestAddresses::Device(0) + QLatin1Char('-') + TestAddresses::Device(kDevices + 1),
         QStringLiteral("--port"), QString::number(TestAddresses::ToolBridgePort()),
         QStringLiteral("--bind"), TestAddresses::Tool(), QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonArray found = QJsonDocument::fromJson(run.out.toUtf8()).array();
    ASSERT_EQ(found.size(), kDevices) << run.out.toStdString();
    for (int k = 0; k < kDevices; ++k) {
        SCOPED_TRACE(k);
        const QJsonObject f = found[k].toObject();
        EXPECT_EQ(f.value(QStringLiteral("address")).toString(), TestAddresses::Device(k));
        EXPECT_EQ(f.value(QStringLiteral("mac")).toString(),
                  TestAddresses::SimulatedMac(TestAddresses::Device(k)));
        EXPECT_EQ(f.value(QStringLiteral("bridgeBps")).toInt(), inBoot(k) ? 19200 : 115200);
        EXPECT_EQ(f.value(QStringLiteral("reader")).toBool(), !inBoot(k));
        EXPECT_EQ(f.value(QStringLiteral("bootSuspected")).toBool(), inBoot(k));
        EXPECT_EQ(f.value(QStringLiteral("romVersion")).toString(),
                  inBoot(k) ? QString() : QStringLiteral("1.00A0001"));
        // Only read: no module's record was written.
        EXPECT_EQ(sims[k]->Bridge().SerialBps(), inBoot(k) ? 19200 : 115200);
    }
}
