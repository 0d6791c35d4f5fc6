#pragma once

// tessaly-cli as a user runs it, from a test that may serve an in-process simulator meanwhile:
// this process's event loop keeps running until the program ends, for at most two minutes.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

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
    run.out = QString::fromUtf8(cli.readAllStandardOutput());
    run.err = QString::fromUtf8(cli.readAllStandardError());
    return run;
}
