// The run record of an update in this process: what the recorder keeps of a failed write, and
// a records folder that cannot be written.

#include "core/link/ByteDump.h"
#include "records/RunRecorder.h"
#include "support/RunRecordFiles.h"
#include "support/UpdateRig.h"
#include "update/UpdateTexts.h"

#include <QJsonArray>

#include <algorithm>

using namespace update_test;

namespace {

// The update command with its record kept in `folder`, connecting first as a second click in
// the window does.
RunOutcome RecordedClick(UpdateRig& rig, const QString& folder) {
    rig.session->fReconnect = 1;
    return rig.Click(folder);
}

} // namespace

TEST(RunRecord, RefusedPageLeavesTheLogAndTheRecordOfTheFailedWrite) {
    rwsim::SimConfig config = SimDefaults();
    config.faults.refusePage = 5;
    UpdateRig rig(config);
    ASSERT_TRUE(rig.started);
    const QString folder = rig.dir.filePath(QStringLiteral("records"));
    const qsizetype before = rig.log.lines.size();
    const RunOutcome outcome = RecordedClick(rig, folder);
    ASSERT_EQ(outcome.failedStep, UpdateStep::Write);

    const RunRecordFiles run = ReadTheOnlyRun(folder);
    const QJsonObject& r = run.record;
    const QString host = rig.params.TCPServAddr;
    EXPECT_TRUE(run.stem.endsWith(QStringLiteral("_%1_%2").arg(host).arg(rig.sim->TcpPort())))
        << run.stem.toStdString();
    EXPECT_EQ(r.value(QStringLiteral("version")).toString(), QStringLiteral(TESSALY_VERSION));
    EXPECT_EQ(r.value(QStringLiteral("host")).toString(), host);
    EXPECT_EQ(r.value(QStringLiteral("port")).toInt(), rig.sim->TcpPort());
    EXPECT_EQ(r.value(QStringLiteral("mac")).toString(), TestAddresses::SimulatedMac(host));
    EXPECT_EQ(r.value(QStringLiteral("mode")).toString(), QStringLiteral("program"));
    EXPECT_EQ(r.value(QStringLiteral("kind")).toString(), QStringLiteral("rx231"));
    EXPECT_EQ(r.value(QStringLiteral("romSizeCode")).toInt(), 11);
    const QJsonObject image = r.value(QStringLiteral("image")).toObject();
    EXPECT_EQ(image.value(QStringLiteral("source")).toString(), QStringLiteral("built-in"));
    EXPECT_EQ(image.value(QStringLiteral("crc")).toString(),
              QString::fromStdString(tessaly::HexDigits(rig.Link().ComputeRomImageCrc(), 4)));
    EXPECT_EQ(image.value(QStringLiteral("bytes")).toInteger(), 64637);
    EXPECT_EQ(image.value(QStringLiteral("pages")).toInteger(), 254);
    EXPECT_EQ(r.value(QStringLiteral("result")).toString(), QStringLiteral("NG"));
    EXPECT_EQ(r.value(QStringLiteral("exitCode")).toInt(), 15);
    EXPECT_EQ(r.value(QStringLiteral("errStage")).toInt(), 3);
    EXPECT_EQ(r.value(QStringLiteral("failedStep")).toString(), QStringLiteral("write"));
    EXPECT_EQ(r.value(QStringLiteral("romVersionBefore")).toString(), QStringLiteral("1.00A0001"));
    EXPECT_EQ(r.value(QStringLiteral("chipVersionBefore")).toString(), QStringLiteral("1.00C0001"));
    for (const char* unread : {"romVersionAfter", "chipVersionAfter", "chipUpdater"})
        EXPECT_TRUE(r.value(QLatin1String(unread)).isNull()) << unread;
    QStringList steps = StepsOf(r);
    QStringList ran{QStringLiteral("connect"), QStringLiteral("programMode"),
                    QStringLiteral("setup"),   QStringLiteral("idCheck"),
                    QStringLiteral("erase"),   QStringLiteral("write")};
    std::sort(ran.begin(), ran.end());
    EXPECT_EQ(steps, ran);

    // The .log holds the run's lines as the pane got them, the guidance at the end.
    EXPECT_EQ(run.lines, rig.log.lines.mid(before, run.lines.size()));
    EXPECT_TRUE(run.lines.contains(Step(UpdateStep::Write).ngLine));
    EXPECT_EQ(run.lines.value(run.lines.size() - 1), UpdateText::RetryWithReWrite);
}

TEST(RunRecord, UnwritableFolderLeavesTheOutcomeAndSaysWhy) {
    UpdateRig rig;
    ASSERT_TRUE(rig.started);
    // A file where the folder should be: no records folder can be made there.
    const QString blocked = rig.dir.filePath(QStringLiteral("records"));
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const RunOutcome outcome = RecordedClick(rig, blocked);
    const RunRecord& record = outcome.record;

    EXPECT_TRUE(outcome.Ok());
    EXPECT_EQ(outcome.failedStep, std::nullopt);
    EXPECT_TRUE(record.ok);
    EXPECT_EQ(record.exitCode, 0);
    EXPECT_EQ(rig.log.lines.filter(kRecordNotSaved).size(), 1);
    EXPECT_TRUE(rig.log.lines.last().startsWith(kRecordNotSaved + blocked))
        << rig.log.lines.last().toStdString();
}
