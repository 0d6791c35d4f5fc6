#include "update/ExecChildProcess.h"

#include "link/StopToken.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>

#include <csignal>
#include <unistd.h>
#endif

// Windows starts the child with the system's own call (ExecChildProcessWin.cpp); this is how
// every other platform does it.
#ifndef Q_OS_WIN
namespace {

// Nothing to raise here. The wait runs this thread's event loop without the operator's input:
// the windows are repainted and the desktop's "are you alive" pings answered, so nobody is
// invited to kill the program in the middle of the CHIP update, while a click or a key waits
// until the updater has ended. Works on any thread with an event loop.
constexpr int kStopCheckMs = 100;

bool WaitInEventLoop(QProcess& process, int limitMs, const StopToken* stop) {
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    // A stop request is looked for a few times a second; it ends the wait like the limit.
    QTimer stopCheck;
    QObject::connect(&stopCheck, &QTimer::timeout, &loop, [&] {
        if (stop->Requested())
            loop.quit();
    });
    // The end may have been seen already, while the start was waited for.
    if (process.state() == QProcess::NotRunning)
        return true;
    if (limitMs >= 0)
        limit.start(limitMs);
    if (stop)
        stopCheck.start(kStopCheckMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return process.state() == QProcess::NotRunning;
}
} // namespace
#endif

QByteArray ExitCodeText(int exitCode) {
    return QByteArray("dwExitCode = ") + QByteArray::number(exitCode) +
           QStringLiteral("¥n").toUtf8();
}

#ifndef Q_OS_WIN
int ExecChildProcess(const QString& fileName, const QStringList& arguments, std::FILE* out,
                     int limitMs, int* exitCode, const StopToken* stop, const QString& outputFile) {
    QProcess process;
    process.setProgram(fileName);
    process.setArguments(arguments);
    if (outputFile.isEmpty()) {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
    } else {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(outputFile, QIODevice::Append);
    }
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
#ifdef Q_OS_LINUX
    // The updater never outlives this program: killed outright, it takes the updater along.
    const pid_t parent = getpid();
    process.setChildProcessModifier([parent] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(1); // the program was gone before the line above
    });
#endif
    process.start();
    if (!process.waitForStarted(-1))
        return static_cast<int>(process.error()) + 1; // never 0: 0 means "ran"

    if (!WaitInEventLoop(process, limitMs, stop)) {
        process.kill();
        process.waitForFinished(-1);
        return stop && stop->Requested() ? ExecChildStopped : ExecChildTimedOut;
    }
    // A child that crashed has no exit code of its own; report what the system gives.
    const QByteArray text = ExitCodeText(process.exitCode());
    if (exitCode)
        *exitCode = process.exitCode();
    if (out) {
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), out);
        std::fflush(out);
    }
    return 0;
}
#endif
