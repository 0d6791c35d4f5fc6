#include "records/RunRecorder.h"

#include "records/RecordsFolder.h"

#include <QDir>
#include <QFile>

#include <algorithm>

RunRecorder::RunRecorder(QString folder, bool makeRoom, const QString& host, int port)
    : folder_(std::move(folder)) {
    clock_.start();
    record_.version = QStringLiteral(TESSALY_VERSION);
    record_.started = QDateTime::currentDateTime();
    record_.host = host;
    record_.port = port;
    if (folder_.isEmpty())
        return;
    if (makeRoom)
        RecordsFolder::MakeRoomForRun(folder_);
    // A failure here shows when the record is written at the end.
    RunRecord unfinished = record_;
    unfinished.unfinished = true;
    QString ignored;
    stem_ = RecordsFolder::StartRun(folder_, unfinished, &ignored);
    stemHost_ = host;
    stemPort_ = port;
}

void RunRecorder::Take(const RunEvent& event) {
    if (closed_)
        return;
    switch (event.kind) {
    case RunEvent::Kind::Log:
        log_ += QDateTime::currentDateTime()
                    .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz "))
                    .toUtf8() +
                event.text.toUtf8() + '\n';
        break;
    case RunEvent::Kind::StepStarted:
        stepStart_[static_cast<std::size_t>(event.step)] = clock_.elapsed();
        break;
    case RunEvent::Kind::StepEnded: {
        const qint64 ms = clock_.elapsed() - stepStart_[static_cast<std::size_t>(event.step)];
        auto& steps = record_.steps;
        const auto known = std::find_if(steps.begin(), steps.end(), [&](const auto& entry) {
            return entry.first == event.step;
        });
        if (known == steps.end())
            steps.emplace_back(event.step, ms);
        else
            known->second += ms;
        break;
    }
    case RunEvent::Kind::VersionsBefore:
        record_.romVersionBefore = event.rom;
        record_.chipVersionBefore = event.chip;
        break;
    case RunEvent::Kind::Identity:
        record_.mac = event.text;
        break;
    case RunEvent::Kind::ChipUpdaterEnded:
        record_.chipUpdater = event.chipRun;
        break;
    default:
        break;
    }
}

void RunRecorder::Close() {
    record_.finished = QDateTime::currentDateTime();
    closed_ = true;
}

bool RunRecorder::Write(QString* error) {
    if (folder_.isEmpty())
        return true;
    if (!stem_.isEmpty() && record_.host == stemHost_ && record_.port == stemPort_)
        return RecordsFolder::FinishRun(folder_, stem_, record_, log_, error);
    // The operator chose another R/W in the connection dialog: its record goes under its name.
    if (!stem_.isEmpty())
        QFile::remove(QDir(folder_).filePath(stem_ + QStringLiteral(".json")));
    return RecordsFolder::WriteRun(folder_, record_, log_, error, &stem_);
}
