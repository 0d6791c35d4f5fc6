#include "update/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs the chip updater written to `path` with `args`; returns its exit code and output.
std::pair<int, QString> RunUpdater(const QString& path, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(path, args);
    if (!p.waitForFinished(5000))
        return {-1, QStringLiteral("timed out")};
    return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

} // namespace

TEST(WorkFolder, BesideTheExecutableWhenWritableWithTheDotSegmentFolded) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString work = WorkFolder::Prepare(dir.path() + QStringLiteral("/./bin"));
    EXPECT_EQ(work, dir.path() + QStringLiteral("/bin/TessalyChip"));
    EXPECT_TRUE(QDir(work).exists());
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("/test.dat"))) << "probe file left behind";
}

TEST(WorkFolder, FallsBackToThePerUserFolderWhenTheFolderCannotBeMade) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder that cannot be created, even as root: its parent is a plain file.
    QFile blocker(dir.path() + QStringLiteral("/not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
#ifdef Q_OS_WIN
    const char* perUserVariable = "APPDATA";
#else
    const char* perUserVariable = "XDG_DATA_HOME";
#endif
    const QByteArray saved = qgetenv(perUserVariable);
    qputenv(perUserVariable,
            QDir::toNativeSeparators(dir.path() + QStringLiteral("/data")).toUtf8());
    const QString work = WorkFolder::Prepare(blocker.fileName());
    qputenv(perUserVariable, saved);
    EXPECT_EQ(work, dir.path() + QStringLiteral("/data/OSKORA/Tessaly"));
    EXPECT_TRUE(QDir(work).exists());
}

#ifdef Q_OS_WIN
TEST(WorkFolder, ApplicationDataFolderWhenTheProbeFileIsRefused) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The work folder exists, but "test.dat" there is a folder: it can be neither created nor
    // opened as a file.
    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/bin/TessalyChip/test.dat")));
    const QByteArray saved = qgetenv("APPDATA");
    qputenv("APPDATA", QDir::toNativeSeparators(dir.path() + QStringLiteral("/roaming")).toUtf8());
    const QString work = WorkFolder::Prepare(dir.path() + QStringLiteral("/bin"));
    qputenv("APPDATA", saved);
    EXPECT_EQ(work, dir.path() + QStringLiteral("/roaming/OSKORA/Tessaly"));
    EXPECT_TRUE(QDir(work).exists());
}
#endif

TEST(ChipUpdater, WrittenFromTheResourcesRunsAndChecksItsCommandLine) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = WorkFolder::ChipUpdaterPath(dir.path());
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("old");
    stale.close();

    ASSERT_TRUE(WorkFolder::WriteChipUpdater(dir.path()));
    EXPECT_GT(QFile(path).size(), 1000) << "the old file must be replaced";

    auto [code, out] = RunUpdater(path, {"-IP", "0", "9004", "9004", "127.0.0.9"});
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("127.0.0.9"))) << out.toStdString();

    std::tie(code, out) = RunUpdater(path, {"-BOOT", "-IP", "1", "9004", "9005", "127.0.0.9"});
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("boot loader"))) << out.toStdString();

    for (const QStringList& bad :
         {QStringList{"-IP", "0", "9004", "9004"},
          QStringList{"-IP", "2", "9004", "9004", "127.0.0.9"},
          QStringList{"-IP", "0", "70000", "9004", "127.0.0.9"},
          QStringList{"-IP", "0", "9004", "9004", "127.0.0"},
          QStringList{"-BOOT", "0", "9004", "9004", "127.0.0.9"}, QStringList{}}) {
        std::tie(code, out) = RunUpdater(path, bad);
        EXPECT_EQ(code, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("usage"))) << out.toStdString();
    }
}

TEST(ChipUpdater, PathsFollowThePlatformNaming) {
    const QString plain = WorkFolder::ChipUpdaterPath(QStringLiteral("/w"));
    const QString versioned =
        WorkFolder::ChipUpdaterPath(QStringLiteral("/w"), QStringLiteral("1100"));
#ifdef Q_OS_WIN
    EXPECT_EQ(plain, QStringLiteral("/w/TessalyChip.exe"));
    EXPECT_EQ(versioned, QStringLiteral("/w/TessalyChip1100.exe"));
#else
    EXPECT_EQ(plain, QStringLiteral("/w/TessalyChip"));
    EXPECT_EQ(versioned, QStringLiteral("/w/TessalyChip1100"));
#endif
}
