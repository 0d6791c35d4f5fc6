// --json of tessaly-cli update, probe and image: one JSON object on standard output, the log
// lines on standard error, the exit codes as without it.

#include "support/CliProcess.h"
#include "support/LinkSimRig.h"
#include "support/RunRecordFiles.h"
#include "support/UpdateRig.h"

#include <QJsonArray>

#include <algorithm>

namespace {

// Standard output as one JSON object; fails the test when it is anything else.
QJsonObject OnlyObject(const CliProcessRun& run) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << run.out.toStdString();
    EXPECT_TRUE(document.isObject());
    return document.object();
}

} // namespace

TEST(CliJson, UpdatePrintsTheRunRecordItKeeps) {
    update_test::UpdateRig rig;
    ASSERT_TRUE(rig.started);
    const QString folder = rig.dir.filePath(QStringLiteral("records"));
    const QString host = rig.params.TCPServAddr;
    const CliProcessRun run = RunCliProcess(
        {QStringLiteral("update"), QStringLiteral("--host"), host, QStringLiteral("--port"),
         QString::number(rig.sim->TcpPort()), QStringLiteral("--bind"), TestAddresses::Tool(),
         QStringLiteral("--json"), QStringLiteral("--records"), folder});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject printed = OnlyObject(run);
    const RunRecordFiles files = ReadTheOnlyRun(folder);
    EXPECT_EQ(printed, files.record);

    EXPECT_EQ(printed.value(QStringLiteral("result")).toString(), QStringLiteral("OK"));
    EXPECT_EQ(printed.value(QStringLiteral("exitCode")).toInt(), 0);
    EXPECT_EQ(printed.value(QStringLiteral("errStage")).toInt(), 0);
    EXPECT_TRUE(printed.value(QStringLiteral("failedStep")).isNull());
    EXPECT_EQ(printed.value(QStringLiteral("romVersionBefore")).toString(),
              QStringLiteral("1.00A0001"));
    EXPECT_EQ(printed.value(QStringLiteral("romVersionAfter")).toString(),
              QStringLiteral("1.01A0002"));
    EXPECT_EQ(printed.value(QStringLiteral("chipVersionAfter")).toString(),
              QStringLiteral("1.01A0002"));
    const QJsonObject chip = printed.value(QStringLiteral("chipUpdater")).toObject();
    EXPECT_TRUE(
        chip.value(QStringLiteral("file")).toString().contains(QStringLiteral("TessalyChip")));
    EXPECT_EQ(chip.value(QStringLiteral("arguments")).toArray().last().toString(), host);
    EXPECT_EQ(chip.value(QStringLiteral("exitCode")).toInt(-1), 0);
    QStringList every{
        QStringLiteral("connect"), QStringLiteral("programMode"), QStringLiteral("setup"),
        QStringLiteral("idCheck"), QStringLiteral("erase"),       QStringLiteral("write"),
        QStringLiteral("verify"),  QStringLiteral("restart"),     QStringLiteral("romVersion"),
        QStringLiteral("chip"),    QStringLiteral("compare")};
    std::sort(every.begin(), every.end());
    EXPECT_EQ(StepsOf(printed), every);

    // The log lines went to standard error, as they are, and into the .log with their stamps.
    const QStringList errLines = run.err.split(QLatin1Char('\n'));
    EXPECT_TRUE(errLines.contains(QStringLiteral("アップデートが正常に終了しました。")));
    qsizetype at = 0;
    for (const QString& line : files.lines) {
        at = errLines.indexOf(line, at);
        ASSERT_GE(at, 0) << line.toStdString();
        ++at;
    }
}

TEST(CliJson, ProbeTellsWhatItFound) {
    LinkSimRig rig;
    ASSERT_TRUE(rig.started);
    const CliProcessRun run =
        RunCliProcess({QStringLiteral("probe"), QStringLiteral("--host"), LinkSimRig::kHost,
                       QStringLiteral("--port"), QString::number(rig.sim->TcpPort()),
                       QStringLiteral("--bind"), TestAddresses::Tool(), QStringLiteral("--json")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QJsonObject o = OnlyObject(run);
    EXPECT_EQ(o.value(QStringLiteral("host")).toString(), LinkSimRig::kHost);
    EXPECT_EQ(o.value(QStringLiteral("port")).toInt(), rig.sim->TcpPort());
    EXPECT_TRUE(o.value(QStringLiteral("found")).toBool());
    EXPECT_EQ(o.value(QStringLiteral("romVersion")).toString(), QStringLiteral("1.00A0001"));
    EXPECT_EQ(o.value(QStringLiteral("chipVersion")).toString(), QStringLiteral("1.00C0001"));
    EXPECT_TRUE(run.err.contains(QStringLiteral("ROM Version : 1.00A0001")));
}

TEST(CliJson, ImageReportsTheBuiltInFirmwareAndARefusedFile) {
    const CliProcessRun embedded = RunCliProcess(
        {QStringLiteral("image"), QStringLiteral("--embedded"), QStringLiteral("--json")});
    EXPECT_EQ(embedded.exitCode, 0) << embedded.err.toStdString();
    const QJsonObject o = OnlyObject(embedded);
    EXPECT_EQ(o.value(QStringLiteral("source")).toString(), QStringLiteral("built-in"));
    const QJsonObject bounds = o.value(QStringLiteral("bounds")).toObject();
    EXPECT_EQ(bounds.value(QStringLiteral("from")).toString(), QStringLiteral("FFFC0000"));
    EXPECT_EQ(bounds.value(QStringLiteral("to")).toString(), QStringLiteral("FFFFFFFF"));
    const QJsonArray ranges = o.value(QStringLiteral("ranges")).toArray();
    EXPECT_EQ(ranges.size(), 17);
    qint64 stored = 0;
    for (const QJsonValue range : ranges)
        stored += range.toObject().value(QStringLiteral("bytes")).toInteger();
    EXPECT_EQ(o.value(QStringLiteral("bytes")).toInteger(), 64637);
    EXPECT_EQ(stored, 64637);
    EXPECT_EQ(o.value(QStringLiteral("pages")).toInteger(), 254);
    EXPECT_EQ(o.value(QStringLiteral("crc")).toString(), QStringLiteral("3062"));
    EXPECT_EQ(o.value(QStringLiteral("result")).toString(), QStringLiteral("OK"));
    EXPECT_TRUE(embedded.err.contains(QStringLiteral("result: OK")));

    const CliProcessRun wrongName = RunCliProcess(
        {QStringLiteral("image"), QStringLiteral("firmware.txt"), QStringLiteral("--json")});
    EXPECT_EQ(wrongName.exitCode, 11);
    const QJsonObject refused = OnlyObject(wrongName);
    EXPECT_EQ(refused.value(QStringLiteral("result")).toString(), QStringLiteral("NG"));
    EXPECT_FALSE(refused.value(QStringLiteral("reason")).toString().isEmpty());
}
