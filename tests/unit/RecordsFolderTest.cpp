#include "records/RecordsFolder.h"
#include "records/RunRecord.h"
#include "records/RunRecorder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& fileName) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << fileName.toStdString();
}

RunRecord RecordAt(const QDateTime& started) {
    RunRecord record;
    record.host = QStringLiteral("10.0.0.7");
    record.port = 9004;
    record.started = started;
    record.finished = started;
    return record;
}

QStringList Files(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

} // namespace

TEST(RecordsFolder, TheThousandAndFirstRunRemovesTheOldestPairOnly) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QDateTime first(QDate(2026, 1, 1), QTime(8, 0, 0));
    // Written in an order other than their times: the names, not the file dates, say which
    // run is the oldest.
    for (int i = RecordsFolder::kKeptRuns - 1; i >= 0; --i) {
        const QString stem = first.addSecs(i).toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                             QStringLiteral("_10.0.0.7_9004");
        Touch(QDir(folder).filePath(stem + QStringLiteral(".log")));
        Touch(QDir(folder).filePath(stem + QStringLiteral(".json")));
    }
    Touch(QDir(folder).filePath(QStringLiteral("notes.txt")));

    RunRecorder run(folder);
    EXPECT_EQ(Files(folder, QStringLiteral("*.log")).size(), RecordsFolder::kKeptRuns - 1);
    EXPECT_EQ(Files(folder, QStringLiteral("*.json")).size(), RecordsFolder::kKeptRuns - 1);
    EXPECT_EQ(Files(folder, QStringLiteral("*.log")).first(),
              QStringLiteral("20260101-080001_10.0.0.7_9004.log"));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("notes.txt"))));

    QString error;
    EXPECT_TRUE(RecordsFolder::WriteRun(folder, RecordAt(QDateTime::currentDateTime()), "", &error))
        << error.toStdString();
    EXPECT_EQ(Files(folder, QStringLiteral("*.json")).size(), RecordsFolder::kKeptRuns);
}

TEST(RecordsFolder, SecondRunInTheSameSecondKeepsTheFirst) {
    QTemporaryDir dir;
    const RunRecord record = RecordAt(QDateTime(QDate(2026, 12, 9), QTime(10, 15, 2, 117)));
    QString first;
    QString second;
    QString error;
    ASSERT_TRUE(RecordsFolder::WriteRun(dir.path(), record, "first\n", &error, &first));
    ASSERT_TRUE(RecordsFolder::WriteRun(dir.path(), record, "second\n", &error, &second));
    EXPECT_EQ(first, QStringLiteral("20261209-101502_10.0.0.7_9004"));
    EXPECT_EQ(second, first + QStringLiteral("-2"));
    QFile log(QDir(dir.path()).filePath(first + QStringLiteral(".log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("first\n"));
    EXPECT_EQ(Files(dir.path(), QStringLiteral("*.json")).size(), 2);
}
