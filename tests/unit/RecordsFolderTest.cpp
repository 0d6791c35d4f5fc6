#include "records/RecordsFolder.h"
#include "records/RunRecord.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <sys/resource.h>

#include <csignal>
#endif

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

#ifdef Q_OS_LINUX
// A folder on a disk with a few hundred bytes left: a small tmpfs, filled up, where this test
// may mount one (as root), otherwise the same failure brought on by a file size limit of this
// process. Either way a file cannot grow past a few hundred bytes.
class FullFolder {
public:
    FullFolder() {
        path = dir.path();
        mounted_ = ::mount("tessaly-test", QFile::encodeName(path).constData(), "tmpfs", 0,
                           "size=16k") == 0;
        if (mounted_) {
            // All but a part of the last page: the unfinished record fits, nothing after it.
            QFile fill(dir.filePath(QStringLiteral("fill")));
            if (fill.open(QIODevice::WriteOnly))
                while (fill.write(QByteArray(512, 'x')) == 512 && fill.flush())
                    ;
            fill.resize(fill.size() - 1024);
            return;
        }
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = 600;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullFolder() {
        if (mounted_)
            ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
        else
            ::setrlimit(RLIMIT_FSIZE, &saved_);
    }
    QTemporaryDir dir;
    QString path;

private:
    bool mounted_ = false;
    rlimit saved_{};
};
#endif

} // namespace

#ifdef Q_OS_LINUX
// A record that cannot be written whole is never there under its name: whatever is left parses,
// and the reason is given.
TEST(RecordsFolder, FullDiskLeavesNoHalfWrittenRecord) {
    FullFolder full;
    QString error;
    RunRecord record = RecordAt(QDateTime::currentDateTime());
    record.ok = true;
    EXPECT_FALSE(RecordsFolder::WriteRun(full.path, record, QByteArray(4096, 'L'), &error));
    EXPECT_FALSE(error.isEmpty());
    for (const QString& name : Files(full.path, QStringLiteral("*_10.0.0.7_9004.*"))) {
        QFile file(QDir(full.path).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
        if (name.endsWith(QLatin1String(".json"))) {
            EXPECT_TRUE(QJsonDocument::fromJson(bytes).isObject()) << name.toStdString();
        }
    }
}
#endif

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

    RecordsFolder::MakeRoomForRun(folder);
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
