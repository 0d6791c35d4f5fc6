#include "support/TestChildProgram.h"
#include "update/ChipUpdaterCall.h"
#include "update/ExecChildProcess.h"
#include "update/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

// What ExecChildProcess printed, read back from a temporary file.
class CapturedOutput {
public:
    CapturedOutput() : file_(std::tmpfile(), &std::fclose) {}
    std::FILE* get() const { return file_.get(); }
    QByteArray Text() const {
        std::rewind(file_.get());
        QByteArray all;
        char buf[256];
        while (std::size_t n = std::fread(buf, 1, sizeof buf, file_.get()))
            all.append(buf, static_cast<qsizetype>(n));
        return all;
    }

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
};

QStringList RecordedLines(const QString& file) {
    QFile f(file);
    // Text mode: the child's lines end in CR LF on Windows.
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(ChipHandOff, WindowlessChildEndsTheWaitAndGetsItsArgumentsVerbatim) {
    ASSERT_TRUE(QFile::exists(TestChildProgram()))
        << "helper not built: " << TestChildProgram().toStdString();
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("args.txt"));
    // An address with shell syntax must reach the child as one plain argument.
    const QStringList args = {QStringLiteral("--record"), record, QStringLiteral("-IP"),
                              QStringLiteral("127.0.0.9; echo x > ") + dir.filePath("y")};
    CapturedOutput out;
    EXPECT_EQ(ExecChildProcess(TestChildProgram(), args, out.get()), 0);
    EXPECT_EQ(out.Text(), QByteArray("dwExitCode = 0\xC2\xA5n"));
#ifdef Q_OS_WIN
    // The command line is the file name and the arguments joined by single spaces, nothing
    // quoted, as the hand-off has always built it; the child's runtime splits it at the spaces.
    const QStringList expected = args.join(QLatin1Char(' ')).split(QLatin1Char(' '));
#else
    const QStringList expected = args;
#endif
    const QStringList lines = RecordedLines(record);
    ASSERT_EQ(lines.size(), 1 + expected.size()) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("cwd=") + QDir::toNativeSeparators(QDir::currentPath()));
    EXPECT_EQ(lines.mid(1), expected);
    EXPECT_FALSE(QFile::exists(dir.filePath("y")));
}

TEST(ChipHandOff, NonzeroExitIsPrintedAndOtherwiseTreatedLikeSuccess) {
    CapturedOutput out;
    EXPECT_EQ(ExecChildProcess(TestChildProgram(), {QStringLiteral("--exit"), QStringLiteral("3")},
                               out.get()),
              0);
    EXPECT_EQ(out.Text(), ExitCodeText(3));
    EXPECT_EQ(ExitCodeText(3), QByteArray("dwExitCode = 3\xC2\xA5n"));
}

TEST(ChipHandOff, MissingProgramReportsAFailedStartAndPrintsNothing) {
    QTemporaryDir dir;
    CapturedOutput out;
    EXPECT_NE(ExecChildProcess(dir.filePath(QStringLiteral("absent")), {}, out.get()), 0);
    EXPECT_TRUE(out.Text().isEmpty());
}

TEST(ChipHandOff, ChildStillRunningAtTheLimitIsKilled) {
    CapturedOutput out;
    EXPECT_EQ(ExecChildProcess(TestChildProgram(),
                               {QStringLiteral("--sleep"), QStringLiteral("20000")}, out.get(),
                               100),
              ExecChildTimedOut);
    EXPECT_TRUE(out.Text().isEmpty());
}

#ifdef Q_OS_WIN
TEST(ChipHandOff, ChildWindowIsRaisedWhileTheChildRuns) {
    QTemporaryDir dir;
    const QString record = dir.filePath(QStringLiteral("args.txt"));
    // The child shows its window without activating it: only the hand-off's raise loop can
    // bring it to the foreground before the child gives up waiting.
    CapturedOutput out;
    EXPECT_EQ(ExecChildProcess(TestChildProgram(),
                               {QStringLiteral("--record"), record, QStringLiteral("--window"),
                                QStringLiteral("10000")},
                               out.get()),
              0);
    const QStringList lines = RecordedLines(record);
    EXPECT_EQ(lines.value(5), QStringLiteral("raised"))
        << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(out.Text(), ExitCodeText(0));
}
#endif

TEST(ChipHandOff, WaitWorksOnAWorkerThreadWithOrWithoutALimit) {
    CapturedOutput out;
    int ended = -2;
    int limited = -2;
    // A device's run on a thread of its own: the wait must not need the main thread's loop.
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        ended = ExecChildProcess(TestChildProgram(),
                                 {QStringLiteral("--exit"), QStringLiteral("3")}, out.get());
        limited =
            ExecChildProcess(TestChildProgram(),
                             {QStringLiteral("--sleep"), QStringLiteral("20000")}, out.get(), 100);
    }));
    worker->start();
    ASSERT_TRUE(worker->wait(60000));
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(limited, ExecChildTimedOut);
    EXPECT_EQ(out.Text(), ExitCodeText(3));
}

TEST(ChipHandOff, CommandLineFollowsWhetherTheChipAnswered) {
    tagTCPIPPara params;
    EXPECT_EQ(ChipUpdaterCall::Arguments(1, params).join(QLatin1Char(' ')),
              QStringLiteral("-IP 0 9004 9004 192.168.0.1"));
    params.fTCPServer = 1;
    params.TCPPort = 10001;
    params.TCPServPort = 9100;
    params.TCPServAddr = QStringLiteral("127.0.0.9");
    EXPECT_EQ(ChipUpdaterCall::Arguments(0, params).join(QLatin1Char(' ')),
              QStringLiteral("-BOOT -IP 1 10001 9100 127.0.0.9"));
}

TEST(ChipHandOff, VersionedUpdaterIsPreferredToThePlainOne) {
    QTemporaryDir dir;
    const QString plain = WorkFolder::ChipUpdaterPath(dir.path());
    const QString versioned = WorkFolder::ChipUpdaterPath(dir.path(), QStringLiteral("1100"));
    EXPECT_TRUE(ChipUpdaterCall::FileToRun(dir.path(), QStringLiteral("1100")).isEmpty());
    ASSERT_TRUE(QFile(plain).open(QIODevice::WriteOnly));
    EXPECT_EQ(ChipUpdaterCall::FileToRun(dir.path(), QStringLiteral("1100")), plain);
    ASSERT_TRUE(QFile(versioned).open(QIODevice::WriteOnly));
    EXPECT_EQ(ChipUpdaterCall::FileToRun(dir.path(), QStringLiteral("1100")), versioned);
    EXPECT_TRUE(versioned.endsWith(QStringLiteral("TessalyChip1100")) ||
                versioned.endsWith(QStringLiteral("TessalyChip1100.exe")));
}
