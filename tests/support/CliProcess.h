#pragma once

// tessaly-cli as a user runs it, from a test that may serve an in-process simulator meanwhile:
// this process's event loop keeps running until the program ends, for at most two minutes.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// What the program wrote, with Windows' CR LF line ends read as LF: a CR that is left is the
// program's own (a progress bar redrawing its line).
inline QString ConsoleText(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
#ifdef Q_OS_WIN
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return text;
}

struct CliProcessRun {
    int exitCode = -1; // -1: it crashed or did not end in time
    QString out;
    QString err;
};

inline CliProcessRun RunCliProcess(const QStringList& arguments) {
    QProcess cli;
    cli.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-cli"));
    cli.setArguments(arguments);
    cli.start();
    CliProcessRun run;
    if (!cli.waitForStarted(5000)) {
        ADD_FAILURE() << "tessaly-cli did not start";
        return run;
    }
    QDeadlineTimer deadline(120000);
    while (cli.state() != QProcess::NotRunning && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (cli.state() != QProcess::NotRunning) {
        cli.kill();
        cli.waitForFinished(2000);
        ADD_FAILURE() << "tessaly-cli did not finish";
        return run;
    }
    run.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    run.out = ConsoleText(cli.readAllStandardOutput());
    run.err = ConsoleText(cli.readAllStandardError());
    return run;
}

// tessaly-cli running while the test watches its standard output, serving this process's event
// loop meanwhile (an in-process simulator answers it), every wait bounded.
class RunningCli {
public:
    explicit RunningCli(
        const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        cli_.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/tessaly-cli"));
        cli_.setArguments(arguments);
        cli_.setProcessEnvironment(environment);
        cli_.start();
        started_ = cli_.waitForStarted(5000);
    }
    ~RunningCli() {
        if (cli_.state() != QProcess::NotRunning) {
            cli_.kill();
            cli_.waitForFinished(2000);
        }
    }

    // Waits until standard output holds a line containing `text`; false after a minute.
    bool WaitForLine(const QString& text) {
        QDeadlineTimer deadline(60000);
        while (started_ && !deadline.hasExpired()) {
            ReadOutput();
            if (out.contains(text))
                return true;
            if (cli_.state() == QProcess::NotRunning)
                return false;
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return false;
    }
    // Asks it to stop (SIGTERM) or kills it outright; its exit code once it has ended (-1: it
    // crashed, was killed, or did not end within a minute).
    int Terminate() { return End(false); }
    int Kill() { return End(true); }
    qint64 ProcessId() const { return cli_.processId(); }

    QString out;

private:
    // Whole, so that a CR LF split between two reads is still one line end.
    void ReadOutput() {
        raw_ += cli_.readAllStandardOutput();
        out = ConsoleText(raw_);
    }
    int End(bool kill) {
        kill ? cli_.kill() : cli_.terminate();
        QDeadlineTimer deadline(60000);
        while (cli_.state() != QProcess::NotRunning && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ReadOutput();
        if (cli_.state() != QProcess::NotRunning)
            return -1;
        return cli_.exitStatus() == QProcess::NormalExit ? cli_.exitCode() : -1;
    }

    QProcess cli_;
    QByteArray raw_;
    bool started_ = false;
};
