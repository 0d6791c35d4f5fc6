// tessaly-cli fleet as a user runs it, against three simulated R/Ws in this process: one of them
// refuses a page, and a retry mends it.

#include "link/QtLinkEnvironment.h"
#include "link/TFlashWrRXCont.h"
#include "resources/EmbeddedResources.h"
#include "rwsim/RwSimulator.h"
#include "support/CliProcess.h"
#include "support/TestAddresses.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kDevices = 3;
constexpr int kRefusing = 1; // the second R/W refuses its first page

class FleetCli : public ::testing::Test {
protected:
    void SetUp() override {
        for (int k = 0; k < kDevices; ++k) {
            rwsim::SimConfig config;
            config.address = QHostAddress(TestAddresses::Device(k));
            config.udpPort = TestAddresses::ModuleBridgePort();
            config.tcpPort = 0;
            config.transcriptFile = dir.filePath(QStringLiteral("transcript-%1.jsonl").arg(k));
            if (k == kRefusing)
                config.faults.refusePage = 1;
            sims.push_back(std::make_unique<rwsim::RwSimulator>(config));
            QString error;
            ASSERT_TRUE(sims.back()->Start(&error)) << error.toStdString();
            records.push_back(Record(k));
        }
    }

    QStringList Hosts() const {
        QStringList args;
        for (int k = 0; k < kDevices; ++k)
            args << QStringLiteral("--host")
                 << QStringLiteral("%1:%2").arg(TestAddresses::Device(k)).arg(sims[k]->TcpPort());
        return args;
    }

    QStringList Common(const QString& name) const {
        return {QStringLiteral("--bind"),    TestAddresses::Tool(),
                QStringLiteral("--report"),  dir.filePath(name + QStringLiteral(".json")),
                QStringLiteral("--csv"),     dir.filePath(name + QStringLiteral(".csv")),
                QStringLiteral("--log-dir"), dir.filePath(QStringLiteral("logs")),
                QStringLiteral("--records"), dir.filePath(QStringLiteral("records"))};
    }

    QJsonArray Devices(const QString& name) const {
        QFile file(dir.filePath(name + QStringLiteral(".json")));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(file.readAll())
            .object()
            .value(QStringLiteral("devices"))
            .toArray();
    }

    QByteArray Record(int k) const {
        const auto& r = sims[k]->Bridge().Record();
        return QByteArray(reinterpret_cast<const char*>(r.data()), qsizetype(r.size()));
    }

    // The built-in firmware as the tool parses it, over the range a program-mode run writes.
    static QByteArray Firmware(std::uint32_t from, std::uint32_t to) {
        TFlashWrRXCont link(QtLinkEnvironment::Instance(), nullptr, tagOptionPara{}, {});
        link.LoadSRecordText(
            EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1")));
        return QByteArray(reinterpret_cast<const char*>(link.RomImage.data()) +
                              (from - link.RomImageBase),
                          qsizetype(to - from + 1));
    }

    QByteArray Flash(int k, std::uint32_t from, std::uint32_t to) const {
        const auto bytes = sims[k]->Mcu().Flash().Read(from, std::uint64_t{to} - from + 1);
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<rwsim::RwSimulator>> sims;
    std::vector<QByteArray> records; // each module's setup record before the run
};

} // namespace

TEST_F(FleetCli, OneRefusedPageIsOneNgRowAndARetryInReWriteModeMendsIt) {
    const CliProcessRun run = RunCliProcess(QStringList{QStringLiteral("fleet")} + Hosts() +
                                            Common(QStringLiteral("report")));
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString() << run.err.toStdString();

    const QJsonArray devices = Devices(QStringLiteral("report"));
    ASSERT_EQ(devices.size(), kDevices);
    const QByteArray firmware = Firmware(0xFFFC0000u, 0xFFFFBFFFu);
    for (int k = 0; k < kDevices; ++k) {
        SCOPED_TRACE(k);
        const QJsonObject d = devices[k].toObject();
        EXPECT_EQ(d.value(QStringLiteral("host")).toString(), TestAddresses::Device(k));
        // Each module got back its own record: no run wrote another module's bytes into it.
        EXPECT_EQ(Record(k), records[k]);
        EXPECT_TRUE(QFile::exists(d.value(QStringLiteral("log")).toString()));
        if (k == kRefusing) {
            EXPECT_EQ(d.value(QStringLiteral("result")).toString(), QStringLiteral("NG"));
            EXPECT_EQ(d.value(QStringLiteral("failedStep")).toString(), QStringLiteral("write"));
            EXPECT_EQ(d.value(QStringLiteral("errStage")).toInt(), 3);
            EXPECT_EQ(d.value(QStringLiteral("exitCode")).toInt(), 15);
        } else {
            EXPECT_EQ(d.value(QStringLiteral("result")).toString(), QStringLiteral("OK"));
            EXPECT_EQ(d.value(QStringLiteral("romVersionAfter")).toString(),
                      QStringLiteral("1.01A0002"));
            EXPECT_EQ(Flash(k, 0xFFFC0000u, 0xFFFFBFFFu), firmware);
        }
    }
    QFile csv(dir.filePath(QStringLiteral("report.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'));
    EXPECT_TRUE(
        lines[0].startsWith(QStringLiteral("host,port,mac,mode,result,exitCode,errStage,")));
    // Each R/W known by its bridge module's MAC as well as by its address.
    EXPECT_TRUE(lines[1 + kRefusing].startsWith(
        TestAddresses::Device(kRefusing) +
        QStringLiteral(",%1,%2,program,NG,15,3,write,")
            .arg(sims[kRefusing]->TcpPort())
            .arg(TestAddresses::SimulatedMac(TestAddresses::Device(kRefusing)))))
        << lines[1 + kRefusing].toStdString();

    // The operator power-cycles the failed R/W, as its log asks, and runs the report again:
    // only that one, and in re-write mode.
    sims[kRefusing]->Mcu().PowerCycle();
    const CliProcessRun again =
        RunCliProcess(QStringList{QStringLiteral("fleet"), QStringLiteral("--retry"),
                                  dir.filePath(QStringLiteral("report.json"))} +
                      Common(QStringLiteral("retry")));
    EXPECT_EQ(again.exitCode, 0) << again.out.toStdString() << again.err.toStdString();
    const QJsonArray retried = Devices(QStringLiteral("retry"));
    ASSERT_EQ(retried.size(), 1);
    const QJsonObject d = retried[0].toObject();
    EXPECT_EQ(d.value(QStringLiteral("host")).toString(), TestAddresses::Device(kRefusing));
    EXPECT_EQ(d.value(QStringLiteral("mode")).toString(), QStringLiteral("rewrite"));
    EXPECT_EQ(d.value(QStringLiteral("result")).toString(), QStringLiteral("OK"));
}

TEST_F(FleetCli, BadHostsFileLineIsAUsageErrorAndNothingIsSent) {
    const QString hosts = dir.filePath(QStringLiteral("hosts.txt"));
    QFile file(hosts);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("# line\n%1:%2\n\n%3 bot\n")
                   .arg(TestAddresses::Device(0))
                   .arg(sims[0]->TcpPort())
                   .arg(TestAddresses::Device(1))
                   .toUtf8());
    file.close();
    const CliProcessRun run =
        RunCliProcess({QStringLiteral("fleet"), QStringLiteral("--hosts"), hosts,
                       QStringLiteral("--bind"), TestAddresses::Tool()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(hosts + QStringLiteral(":4:"))) << run.err.toStdString();
    EXPECT_FALSE(sims[0]->HasClient());
    EXPECT_EQ(Record(0), records[0]);
    QFile transcript(sims[0]->Config().transcriptFile);
    ASSERT_TRUE(transcript.open(QIODevice::ReadOnly));
    const QByteArray seen = transcript.readAll();
    EXPECT_FALSE(seen.contains("\"connect\""));
    EXPECT_FALSE(seen.contains("\"udp\""));
}
