#include "records/RecordsFolder.h"

#include "records/RunRecord.h"

#include <QDir>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>

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

bool WriteFile(const QString& fileName, const QByteArray& bytes, QString* error) {
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = fileName + QStringLiteral(" (") + file.errorString() + QLatin1Char(')');
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

bool WriteRun(const QString& folder, const RunRecord& record, const QByteArray& logText,
              QString* error, QString* stem) {
    QDir dir(folder);
    if (!QDir().mkpath(folder)) {
        *error = folder + QStringLiteral(" (the folder cannot be created)");
        return false;
    }
    const QString base = record.started.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         QLatin1Char('_') + SafeForFileName(record.host) + QLatin1Char('_') +
                         QString::number(record.port);
    QString name = base;
    for (int n = 2;
         dir.exists(name + QStringLiteral(".log")) || dir.exists(name + QStringLiteral(".json"));
         ++n) {
        if (n > kMaxSameStem) {
            *error = dir.filePath(base) + QStringLiteral(" (every name is taken)");
            return false;
        }
        name = base + QLatin1Char('-') + QString::number(n);
    }
    if (stem)
        *stem = name;
    const QByteArray json = QJsonDocument(RunRecordJson(record)).toJson(QJsonDocument::Indented);
    return WriteFile(dir.filePath(name + QStringLiteral(".log")), logText, error) &&
           WriteFile(dir.filePath(name + QStringLiteral(".json")), json, error);
}

} // namespace RecordsFolder
