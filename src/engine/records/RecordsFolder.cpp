#include "records/RecordsFolder.h"

#include "records/AtomicFile.h"
#include "records/RunRecord.h"

#include <QDir>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr int kMaxSameStem = 1000;

// Keeps a host name that was typed on a command line from reaching outside the folder.
QString SafeForFileName(const QString& text) {
    QString safe = text;
    for (QChar& c : safe)
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('-');
    return safe;
}

// The file and why, as a failed write of a record is logged.
bool WriteFile(const QString& fileName, const QByteArray& bytes, QString* error) {
    QString reason;
    if (WriteFileAtomically(fileName, bytes, &reason))
        return true;
    *error = fileName + QStringLiteral(" (") + reason + QLatin1Char(')');
    return false;
}

} // namespace

namespace RecordsFolder {

QString ForWorkDir(const QString& workDir) {
    return QDir(workDir).filePath(QStringLiteral("records"));
}

void MakeRoomForRun(const QString& folder, int keep) {
    // The stem starts with the run's start time, so that names sort as the runs started.
    const QRegularExpression runFile(QStringLiteral("^(\\d{8}-\\d{6}_.+)\\.(log|json)$"));
    QDir dir(folder);
    QStringList stems;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch match = runFile.match(name);
        if (match.hasMatch())
            stems << match.captured(1);
    }
    stems.removeDuplicates();
    std::sort(stems.begin(), stems.end());
    const qsizetype surplus = stems.size() - (keep - 1);
    for (qsizetype i = 0; i < surplus; ++i) {
        dir.remove(stems[i] + QStringLiteral(".log"));
        dir.remove(stems[i] + QStringLiteral(".json"));
    }
}

QString StartRun(const QString& folder, const RunRecord& record, QString* error) {
    QDir dir(folder);
    if (!QDir().mkpath(folder)) {
        *error = folder + QStringLiteral(" (the folder cannot be created)");
        return {};
    }
    const QString base = record.started.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QLatin1Char('_') + SafeForFileName(record.host) + QLatin1Char('_') +
                         QString::number(record.port);
    QString stem = base;
    for (int n = 2;
         dir.exists(stem + QStringLiteral(".log")) || dir.exists(stem + QStringLiteral(".json"));
         ++n) {
        if (n > kMaxSameStem) {
            *error = dir.filePath(base) + QStringLiteral(" (every name is taken)");
            return {};
        }
        stem = base + QLatin1Char('-') + QString::number(n);
    }
    // The record as it stands at the start says "unfinished" until the run replaces it.
    if (!WriteFile(dir.filePath(stem + QStringLiteral(".json")),
                   QJsonDocument(RunRecordJson(record)).toJson(QJsonDocument::Indented), error))
        return {};
    return stem;
}

bool FinishRun(const QString& folder, const QString& stem, const RunRecord& record,
               const QByteArray& logText, QString* error) {
    const QDir dir(folder);
    const QByteArray json = QJsonDocument(RunRecordJson(record)).toJson(QJsonDocument::Indented);
    return WriteFile(dir.filePath(stem + QStringLiteral(".log")), logText, error) &&
           WriteFile(dir.filePath(stem + QStringLiteral(".json")), json, error);
}

bool WriteRun(const QString& folder, const RunRecord& record, const QByteArray& logText,
              QString* error, QString* stem) {
    const QString name = StartRun(folder, record, error);
    if (stem)
        *stem = name;
    return !name.isEmpty() && FinishRun(folder, name, record, logText, error);
}

} // namespace RecordsFolder
