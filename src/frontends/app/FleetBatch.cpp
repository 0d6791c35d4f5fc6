#include "app/FleetBatch.h"

#include "fleet/FleetReport.h"
#include "records/RecordsFolder.h"

#include <QDir>
#include <QJsonDocument>

FleetBatch::FleetBatch(const FleetSetup& setup)
    : reportFolder_(setup.recordsDir),
      keptRuns_(RecordsFolder::kKeptRuns - int(setup.targets.size()) + 1),
      fleet_(std::make_unique<FleetRun>(setup)) {
    thread_.setObjectName(QStringLiteral("fleet"));
    fleet_->moveToThread(&thread_);
    connect(fleet_.get(), &FleetRun::Finished, fleet_.get(), [this] { WriteReport(); });
}

FleetBatch::~FleetBatch() {
    if (thread_.isRunning()) {
        QMetaObject::invokeMethod(fleet_.get(), &FleetRun::StopRunning,
                                  Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
}

void FleetBatch::Start() {
    thread_.start();
    QMetaObject::invokeMethod(fleet_.get(), [this] {
        QDir().mkpath(reportFolder_);
        RecordsFolder::MakeRoomForRun(reportFolder_, keptRuns_);
        fleet_->Start();
    });
}

void FleetBatch::Stop() {
    QMetaObject::invokeMethod(fleet_.get(), &FleetRun::StopRunning);
}

// On the batch's thread.
void FleetBatch::WriteReport() {
    const FleetReport report = fleet_->Report();
    const QString fileName =
        QDir(reportFolder_)
            .filePath(QStringLiteral("fleet-%1.json")
                          .arg(report.started.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    QString error;
    const bool written =
        WriteReportFile(fileName,
                        QJsonDocument(FleetReportJson(report)).toJson(QJsonDocument::Indented),
                        &error) &&
        WriteReportFile(fileName.chopped(4) + QStringLiteral("csv"), FleetReportCsv(report),
                        &error);
    thread_.quit();
    QMetaObject::invokeMethod(this, [this, report, fileName, written, error] {
        thread_.wait();
        Q_EMIT Done(report, fileName, written ? QString() : error);
    });
}
