// The fleet window against eight simulated R/Ws in this process, one refusing a page and one
// losing power mid-write: the rows end as the R/Ws did, the others go on, the report is the one
// tessaly-cli fleet writes, and "選択を再実行" mends the two once they have been power-cycled.

#include "app/FleetWindow.h"
#include "app/StartupContext.h"
#include "app/TRXProgAppForm.h"
#include "link/QtLinkEnvironment.h"
#include "netdlg/AdapterSource.h"
#include "rwsim/RwSimulator.h"
#include "support/TestAddresses.h"

#include <QFile>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class NoAdapters final : public AdapterSource {
public:
    QList<Ipv4Adapter> Adapters() const override { return {}; }
};

constexpr int kDevices = 8;
constexpr int kRefusesAPage = 2;
constexpr int kLosesPower = 5;

QJsonArray ReportDevices(const QString& fileName) {
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return QJsonDocument::fromJson(file.readAll())
        .object()
        .value(QStringLiteral("devices"))
        .toArray();
}

} // namespace

TEST(FleetWindow, RowsEndAsTheirRwsDidAndARetryMendsTheFailedOnes) {
    QTemporaryDir dir;
    std::vector<std::unique_ptr<rwsim::RwSimulator>> sims;
    QString hosts;
    for (int k = 0; k < kDevices; ++k) {
        rwsim::SimConfig config;
        config.address = QHostAddress(TestAddresses::Device(k));
        config.udpPort = TestAddresses::ModuleBridgePort();
        config.tcpPort = 0;
        if (k == kRefusesAPage)
            config.faults.refusePage = 3;
        if (k == kLosesPower)
            config.faults.dropAfterPages = 4;
        sims.push_back(std::make_unique<rwsim::RwSimulator>(config));
        QString error;
        ASSERT_TRUE(sims.back()->Start(&error)) << error.toStdString();
        hosts += QStringLiteral("%1:%2\n").arg(TestAddresses::Device(k)).arg(sims[k]->TcpPort());
    }
    QFile ini(dir.filePath(QStringLiteral("tessaly.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(
        QStringLiteral("[Option]\nBridgeBindAddress=%1\n").arg(TestAddresses::Tool()).toUtf8());
    ini.close();
    NoAdapters adapters;
    StartupContext context;
    context.executablePath = dir.filePath(QStringLiteral("tessaly"));
    context.environment = &QtLinkEnvironment::Instance();
    context.adapters = &adapters;
    context.connectOnShow = false;
    TRXProgAppForm form(context);
    form.show();
    form.MnFleet->trigger();
    FleetWindow& fleet = *form.Fleet();
    ASSERT_TRUE(fleet.isVisible());

    // A malformed line and a repeated address are named by line and left out.
    const QStringList refused = fleet.AddFromText(hosts + QStringLiteral("127.0.0.300\n%1:%2\n")
                                                              .arg(TestAddresses::Device(0))
                                                              .arg(sims[0]->TcpPort()));
    ASSERT_EQ(refused.size(), 2);
    EXPECT_TRUE(refused[0].startsWith(QStringLiteral("%1行目").arg(kDevices + 1)));
    EXPECT_TRUE(refused[1].startsWith(QStringLiteral("%1行目").arg(kDevices + 2)));
    ASSERT_EQ(fleet.Model().rowCount(), kDevices);

    fleet.RunAllButton->click();
    ASSERT_TRUE(fleet.Running());
    // The main window's one-device commands wait for the batch.
    EXPECT_TRUE(form.Gate().WaitRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fleet.Running(); }, 120000));
    EXPECT_FALSE(form.Gate().WaitRunning());

    for (int k = 0; k < kDevices; ++k) {
        SCOPED_TRACE(k);
        const auto& entry = fleet.Model().At(k);
        ASSERT_TRUE(entry.record.has_value());
        EXPECT_EQ(entry.record->ok, k != kRefusesAPage && k != kLosesPower);
        EXPECT_TRUE(QFile::exists(entry.logFile));
    }
    EXPECT_TRUE(fleet.Summary->text().startsWith(QStringLiteral("OK 6 / NG 2 / スキップ 0")))
        << fleet.Summary->text().toStdString();
    // The report tessaly-cli fleet --report / --csv writes, in the records folder.
    EXPECT_TRUE(fleet.LastReport().startsWith(form.WorkDir() + QStringLiteral("/records/fleet-")));
    const QJsonArray devices = ReportDevices(fleet.LastReport());
    ASSERT_EQ(devices.size(), kDevices);
    const QJsonObject failed = devices[kRefusesAPage].toObject();
    EXPECT_EQ(failed.value(QStringLiteral("result")).toString(), QStringLiteral("NG"));
    EXPECT_EQ(failed.value(QStringLiteral("exitCode")).toInt(), 15);
    EXPECT_EQ(failed.value(QStringLiteral("mac")).toString(),
              TestAddresses::SimulatedMac(TestAddresses::Device(kRefusesAPage)));
    EXPECT_EQ(devices[0].toObject().value(QStringLiteral("romVersionAfter")).toString(),
              QStringLiteral("1.01A0002"));
    QFile csv(fleet.LastReport().chopped(4) + QStringLiteral("csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readLine().startsWith("host,port,mac,mode,result,exitCode,errStage,"));

    // The operator power-cycles the two, selects them with an OK row beside them, and runs the
    // selection again: only the failed ones run, in re-write mode.
    sims[kRefusesAPage]->Mcu().PowerCycle();
    sims[kLosesPower]->Mcu().PowerCycle();
    for (const int row : {0, kRefusesAPage, kLosesPower})
        fleet.Table->selectionModel()->select(
            fleet.Model().index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    fleet.RetryButton->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fleet.Running(); }, 120000));
    const QJsonArray retried = ReportDevices(fleet.LastReport());
    ASSERT_EQ(retried.size(), 2);
    for (int k = 0; k < kDevices; ++k)
        EXPECT_TRUE(fleet.Model().At(k).record->ok) << k;
    EXPECT_EQ(retried[0].toObject().value(QStringLiteral("mode")).toString(),
              QStringLiteral("rewrite"));
}
